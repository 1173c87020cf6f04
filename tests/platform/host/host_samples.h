// SPDX-License-Identifier: MIT
#pragma once

#include "base/step_failed.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

// Recorded host files under tests/data/host.
inline QString hostSample(const QString& relative) { return QStringLiteral(QNI_TEST_DATA "/host/") + relative; }

inline QByteArray readSample(const QString& relative)
{
    QFile f(hostSample(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : "missing sample";
}

// Writes one file of a made-up root, creating its folders.
inline void writeFile(const QString& root, const QString& path, const QByteArray& bytes)
{
    QFile f(root + QLatin1Char('/') + path);
    QDir().mkpath(QFileInfo(f).path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}

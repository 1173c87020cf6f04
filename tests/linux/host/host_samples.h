// SPDX-License-Identifier: MIT
#pragma once

#include "base/step_failed.h"
#include "support/files.h"
#include "support/qt_printers.h"

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
    qni::test::writeFile(root + QLatin1Char('/') + path, bytes);
}

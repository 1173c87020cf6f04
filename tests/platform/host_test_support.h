#pragma once

#include "base/variant.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace qni {

inline void PrintTo(const Variant& v, std::ostream* os)
{
    switch (v.kind()) {
    case Variant::Kind::Empty: *os << "Empty"; return;
    case Variant::Kind::Null: *os << "Null"; return;
    case Variant::Kind::Array: *os << "Array[" << v.join(QStringLiteral(", ")).toStdString() << ']'; return;
    default: *os << '"' << v.toText().toStdString() << '"'; return;
    }
}

} // namespace qni

inline QString hostSample(const QString& relative)
{
    return QStringLiteral(QNI_TEST_DATA "/host/") + relative;
}

inline QByteArray readSample(const QString& relative)
{
    QFile f(hostSample(relative));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << relative.toStdString();
    return f.readAll();
}

// Writes one file of a fake root, creating its folders.
inline void writeFile(const QString& root, const QString& path, const QByteArray& bytes)
{
    const QString full = root + QLatin1Char('/') + path;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(full).path()));
    QFile f(full);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

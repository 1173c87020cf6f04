// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace qni::test {

// Writes a file of the test's own, creating its folders; its path.
inline QString writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile f(path);
    QDir().mkpath(QFileInfo(f).path());
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() &&
                (!executable || f.setPermissions(f.permissions() | QFile::ExeOwner))) << path.toStdString();
    return path;
}

} // namespace qni::test

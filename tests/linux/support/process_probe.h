// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <functional>

#include <unistd.h>

namespace qni::test {

// Waits for a condition, with a deadline far above what it normally needs.
inline bool eventually(const std::function<bool()>& condition)
{
    QElapsedTimer t;
    for (t.start(); !condition() && t.elapsed() < 10000;)
        QThread::msleep(10);
    return condition();
}

// Gone from the process table (a zombie is still in it).
inline bool reaped(qint64 pid) { return !QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }

inline int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size()); }

// Processes whose parent is this one, zombies included.
inline int childProcesses()
{
    int children = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        children += line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong() == ::getpid();
    }
    return children;
}

} // namespace qni::test

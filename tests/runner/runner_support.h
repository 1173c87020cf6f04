#pragma once

#include "platform/host/host_platform.h"
#include "platform/process_service.h"
#include "platform/window_service.h"
#include "runner/read_output.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>

#include <functional>

#include <unistd.h>

namespace qni::test {

// The host's process and window services, as the runner uses them.
inline Platform hostRunnerPlatform()
{
    Platform p;
    p.processes = makeHostProcessService();
    p.windows = makeHostWindowService();
    p.versionRecord = {5, 1, 2};
    return p;
}

// The events of a run in order, as tokens: "S" Starting, "C <text>" a chunk,
// "L <text>" the last chunk, "D" Complete, "X" Canceled, "E<code> <message>"
// Error. The hook runs inside each handler, after the token is logged.
struct EventLog {
    explicit EventLog(ReadOutput& ro)
    {
        const auto add = [this](const QString& token) {
            log << token;
            if (hook)
                hook(token);
        };
        QObject::connect(&ro, &ReadOutput::Error, [=](const QString& m, int& code) { add(QStringLiteral("E%1 %2").arg(code).arg(m)); });
        QObject::connect(&ro, &ReadOutput::Starting, [=] { add("S"); });
        QObject::connect(&ro, &ReadOutput::GotChunk, [=, this](const QString& chunk, bool last) {
            chunks << chunk;
            add((last ? "L " : "C ") + chunk.trimmed());
        });
        QObject::connect(&ro, &ReadOutput::Complete, [=] { add("D"); });
        QObject::connect(&ro, &ReadOutput::Canceled, [=] { add("X"); });
    }
    QString output() const { return chunks.join(QString()); }

    QStringList log, chunks;
    std::function<void(const QString& token)> hook;
};

// Waits for a condition, with a deadline far above what it normally needs.
inline bool eventually(const std::function<bool()>& condition)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < 10000)
        QThread::msleep(10);
    return condition();
}

// Reaped: gone from the process table (a zombie is still in it).
inline bool reaped(qint64 pid) { return !QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }

inline int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size()); }

// Children of this process that have ended but were not reaped.
inline int zombieChildren()
{
    int zombies = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!pid.front().isDigit() || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        zombies += fields.size() > 1 && fields[0] == "Z" && fields[1].toLongLong() == ::getpid();
    }
    return zombies;
}

} // namespace qni::test

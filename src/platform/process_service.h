// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace qni {

// kernel32's anonymous pipe, process start, file read and process end, as
// the runner uses them. Pipe handles are file descriptors; a started process
// is known by its id. A call that fails leaves the reason (an errno value) in
// lastError().
class ProcessService {
public:
    using ProcessHandle = qint64; // 0: no handle

    virtual ~ProcessService() = default;

    // The value of ComSpec; when it is not set, the bundled command
    // interpreter's path.
    virtual QString commandInterpreter() const = 0;

    // CreatePipe. Both ends are closed on exec; only createProcess hands the
    // write end to a child.
    virtual bool createPipe(int& readEnd, int& writeEnd) = 0;

    // CreateProcessA. The command line's first token, split as Windows splits
    // it (commandLineCandidates), names the program; the rest of the line,
    // unchanged, is its one argument. The child's standard output and error
    // are `output`, its standard input is /dev/null, and it inherits no other
    // descriptor. False, with lastError(), when the program cannot be started.
    virtual bool createProcess(const QByteArray& commandLine, int output, int& processId) = 0;

    // ReadFile: blocks until at least one byte arrives. False with bytesRead 0
    // at the end of the output (every writer has closed) or on a failure.
    virtual bool readFile(int handle, char* buffer, int size, int& bytesRead) = 0;

    // Whether readFile on the handle would return at once: output is
    // waiting, the output has ended, or the handle is bad. Never blocks, so
    // that a caller can wait in its event loop instead of in the read.
    virtual bool outputReady(int handle) = 0;

    // CloseHandle on a pipe end.
    virtual void closeHandle(int handle) = 0;

    // CloseHandle on a process that createProcess started: the service reaps
    // it once it has ended, without waiting for that here.
    virtual void closeProcess(int processId) = 0;

    // OpenProcess(PROCESS_TERMINATE, FALSE, processId): a handle, or 0.
    virtual ProcessHandle openProcess(qint64 processId) = 0;
    virtual bool terminateProcess(ProcessHandle process, quint32 exitCode) = 0;
    // CloseHandle on a handle from openProcess.
    virtual void closeProcessHandle(ProcessHandle process) = 0;

    virtual int lastError() const = 0;
};

// One reading of a command line: the program's name and the rest of the line.
struct CommandLineSplit {
    QByteArray program;
    QByteArray rest;

    bool operator==(const CommandLineSplit&) const = default;
};

// The readings Windows tries, in order, for the program name of a command
// line. A quoted first token is the only reading (up to the closing quote, or
// to the end without one). An unquoted line is read up to its first blank,
// then its second, and so on up to the whole line; the first reading that
// names an existing file wins.
QList<CommandLineSplit> commandLineCandidates(const QByteArray& commandLine);

} // namespace qni

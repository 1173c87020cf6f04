// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qni {

// A pipe end, or a process opened to end it, as the system knows it: a
// descriptor or a process id here, a HANDLE on Windows. The program only
// hands them back to the service that gave them.
enum class PipeHandle : std::intptr_t { None = -1 };
enum class ProcessHandle : std::intptr_t { None = 0 };

// Turns a command's output into text as the system's code page reads it.
// One per run, so that a character split between two reads comes out whole.
class OutputDecoder {
public:
    virtual ~OutputDecoder() = default;
    virtual Text decode(const char* bytes, int count) = 0;
    // Bytes held back as the start of a character that the next read may
    // complete.
    virtual int heldBytes() const = 0;
};

// kernel32's anonymous pipe, process start, file read and process end, as
// the runner uses them; a started process is known by its id. A call that
// fails leaves the system's reason (errno, GetLastError) in lastError().
class ProcessService {
public:
    virtual ~ProcessService() = default;

    // The value of ComSpec; when it is not set, the bundled command
    // interpreter's path.
    virtual Text commandInterpreter() const = 0;

    // CreatePipe. Both ends are closed on exec; only createProcess hands the
    // write end to a child.
    virtual bool createPipe(PipeHandle& readEnd, PipeHandle& writeEnd) = 0;

    // CreateProcessA, with the command line in the system's code page. Its
    // first token, split as Windows splits it (commandLineCandidates), names
    // the program; the rest of the line, unchanged, is its one argument. The
    // child's standard output and error are `output`, its standard input is
    // empty, and it inherits nothing else. False, with lastError(), when the
    // program cannot be started.
    virtual bool createProcess(const Text& commandLine, PipeHandle output, int& processId) = 0;

    // ReadFile: blocks until at least one byte arrives. False with bytesRead 0
    // at the end of the output (every writer has closed) or on a failure.
    virtual bool readFile(PipeHandle handle, char* buffer, int size, int& bytesRead) = 0;

    // Whether readFile on the handle would return at once: output is
    // waiting, the output has ended, or the handle is bad. Never blocks, so
    // that a caller can wait in its event loop instead of in the read.
    virtual bool outputReady(PipeHandle handle) = 0;

    // A decoder for one run's output.
    virtual std::unique_ptr<OutputDecoder> outputDecoder() const = 0;

    // CloseHandle on a pipe end.
    virtual void closeHandle(PipeHandle handle) = 0;

    // CloseHandle on a process that createProcess started: the service reaps
    // it once it has ended, without waiting for that here.
    virtual void closeProcess(int processId) = 0;

    // OpenProcess(PROCESS_TERMINATE, FALSE, processId): a handle, or None.
    virtual ProcessHandle openProcess(std::int64_t processId) = 0;
    virtual bool terminateProcess(ProcessHandle process, std::uint32_t exitCode) = 0;
    // CloseHandle on a handle from openProcess.
    virtual void closeProcessHandle(ProcessHandle process) = 0;

    virtual int lastError() const = 0;
};

} // namespace qni

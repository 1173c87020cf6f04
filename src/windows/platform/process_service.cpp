// SPDX-License-Identifier: MIT
// kernel32's anonymous pipe, process start, read and end.
#include "windows_services.h"

#include "described/described_processes.h"
#include "platform/process_service.h"
#include "win_text.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace qni {

namespace {

HANDLE handleOf(PipeHandle pipe) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(pipe)); }
HANDLE handleOf(ProcessHandle process) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(process)); }

// Console programs write in the OEM code page. A read may end on the lead
// byte of a double-byte character; that byte waits for the next read. Where
// a trail byte may look like a lead byte, only a walk from the start of a
// character tells them apart, and every read starts at one.
class CodePageOutputDecoder final : public OutputDecoder {
public:
    explicit CodePageOutputDecoder(unsigned codePage) : codePage_(codePage)
    {
        CPINFO info{};
        doubleByte_ = GetCPInfo(codePage, &info) && info.MaxCharSize == 2;
    }

    Text decode(const char* bytes, int count) override
    {
        held_.append(bytes, std::size_t(std::max(count, 0)));
        std::size_t whole = held_.size();
        if (doubleByte_) {
            std::size_t i = 0;
            while (i < held_.size())
                i += IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(held_[i])) ? 2 : 1;
            if (i > held_.size())
                whole = held_.size() - 1;
        }
        const Text text = win::fromCodePage(codePage_, std::string_view(held_).substr(0, whole));
        held_.erase(0, whole);
        return text;
    }

    int heldBytes() const override { return int(held_.size()); }

private:
    unsigned codePage_;
    bool doubleByte_ = false;
    std::string held_;
};

// The commands the program starts, and what they start, end with it: a
// command that hangs must not outlive the window that was closed on it.
HANDLE killedWithProgram()
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        job = nullptr;
    }
    return job;
}

class WindowsProcessService final : public ProcessService {
public:
    ~WindowsProcessService() override
    {
        for (const auto& [id, process] : processes_)
            CloseHandle(process);
        if (job_)
            CloseHandle(job_);
    }

    Text commandInterpreter() const override
    {
        std::vector<wchar_t> value(MAX_PATH);
        DWORD length = GetEnvironmentVariableW(L"ComSpec", value.data(), DWORD(value.size()));
        if (length >= value.size()) {
            value.resize(length);
            length = GetEnvironmentVariableW(L"ComSpec", value.data(), DWORD(value.size()));
        }
        if (length > 0 && length < value.size())
            return win::fromWide(value.data(), length);
        // Not set, or empty: a quoted empty name would start nothing.
        wchar_t system[MAX_PATH];
        const UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
        const Text directory = systemLength > 0 && systemLength < MAX_PATH ? win::fromWide(system, systemLength)
                                                                           : Text(u"C:\\WINDOWS\\system32");
        return directory + u"\\cmd.exe";
    }

    // Neither end is inheritable: createProcess lends the write end to its
    // child alone.
    bool createPipe(PipeHandle& readEnd, PipeHandle& writeEnd) override
    {
        HANDLE read = nullptr, write = nullptr;
        if (!CreatePipe(&read, &write, nullptr, 0)) {
            lastError_ = int(GetLastError());
            return false;
        }
        readEnd = PipeHandle(reinterpret_cast<std::intptr_t>(read));
        writeEnd = PipeHandle(reinterpret_cast<std::intptr_t>(write));
        return true;
    }

    // The child inherits every inheritable handle of this process: XP has no
    // way of naming the ones it gets. Ours are inheritable only during the
    // call, and the program starts no other process meanwhile.
    bool createProcess(const Text& commandLine, PipeHandle output, int& processId) override
    {
        const std::optional<std::string> ansi = win::toAnsi(commandLine);
        if (!ansi) {
            lastError_ = ERROR_NO_UNICODE_TRANSLATION;
            return false;
        }
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                         OPEN_EXISTING, 0, nullptr);
        if (input == INVALID_HANDLE_VALUE) {
            lastError_ = int(GetLastError());
            return false;
        }
        const HANDLE write = handleOf(output);
        if (!SetHandleInformation(write, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
            lastError_ = int(GetLastError());
            CloseHandle(input);
            return false;
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = write;
        startup.hStdError = write;
        PROCESS_INFORMATION started{};
        std::vector<char> line(ansi->begin(), ansi->end());
        line.push_back('\0');
        // Suspended until it is in the job, so that nothing it starts escapes.
        const BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                                       nullptr, nullptr, &startup, &started);
        const DWORD error = GetLastError();
        SetHandleInformation(write, HANDLE_FLAG_INHERIT, 0);
        CloseHandle(input);
        if (!ok) {
            lastError_ = int(error);
            return false;
        }
        // A program that is itself in a job cannot put its children in
        // another before Windows 8: they then run as before, unwatched.
        if (job_)
            AssignProcessToJobObject(job_, started.hProcess);
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        processId = int(started.dwProcessId);
        processes_[processId] = started.hProcess;
        return true;
    }

    // A zero-length write of the child's reads as zero bytes, not as the
    // end: only a broken pipe ends the output.
    bool readFile(PipeHandle handle, char* buffer, int size, int& bytesRead) override
    {
        DWORD read = 0;
        const BOOL ok = ReadFile(handleOf(handle), buffer, DWORD(std::max(size, 0)), &read, nullptr);
        bytesRead = ok ? int(read) : 0;
        if (!ok)
            lastError_ = int(GetLastError());
        return ok;
    }

    bool outputReady(PipeHandle handle) override
    {
        DWORD available = 0;
        // A broken pipe or a bad handle fails here, and the read at once.
        if (!PeekNamedPipe(handleOf(handle), nullptr, 0, nullptr, &available, nullptr))
            return true;
        return available > 0;
    }

    std::unique_ptr<OutputDecoder> outputDecoder() const override { return makeCodePageOutputDecoder(GetOEMCP()); }

    void closeHandle(PipeHandle handle) override
    {
        if (handle != PipeHandle::None && handleOf(handle))
            CloseHandle(handleOf(handle));
    }

    // Windows ends a process's record once every handle to it is closed.
    void closeProcess(int processId) override
    {
        if (const auto process = processes_.find(processId); process != processes_.end()) {
            CloseHandle(process->second);
            processes_.erase(process);
        }
    }

    ProcessHandle openProcess(std::int64_t processId) override
    {
        if (processId <= 0 || processId > 0xFFFFFFFFLL) {
            lastError_ = ERROR_INVALID_PARAMETER;
            return ProcessHandle::None;
        }
        const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(processId));
        if (!process)
            lastError_ = int(GetLastError());
        return ProcessHandle(reinterpret_cast<std::intptr_t>(process));
    }

    bool terminateProcess(ProcessHandle process, std::uint32_t exitCode) override
    {
        if (process == ProcessHandle::None || !TerminateProcess(handleOf(process), exitCode)) {
            lastError_ = process == ProcessHandle::None ? ERROR_INVALID_HANDLE : int(GetLastError());
            return false;
        }
        return true;
    }

    void closeProcessHandle(ProcessHandle process) override
    {
        if (process != ProcessHandle::None)
            CloseHandle(handleOf(process));
    }

    int lastError() const override { return lastError_; }

private:
    std::map<int, HANDLE> processes_;
    HANDLE job_ = killedWithProgram();
    int lastError_ = 0;
};

} // namespace

std::unique_ptr<OutputDecoder> makeCodePageOutputDecoder(unsigned codePage)
{
    if (codePage == CP_UTF8)
        return makeUtf8OutputDecoder();
    return std::make_unique<CodePageOutputDecoder>(codePage);
}

std::shared_ptr<ProcessService> makeWindowsProcessService() { return std::make_shared<WindowsProcessService>(); }

} // namespace qni

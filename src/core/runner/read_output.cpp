// SPDX-License-Identifier: MIT
#include "runner/read_output.h"

#include "base/event_pump.h"
#include "platform/platform.h"
#include "platform/process_service.h"
#include "platform/window_service.h"

#include <functional>


namespace qni {

using namespace std::literals;
namespace {

constexpr int kReadSize = 256;
constexpr int kPlatformWin32Windows = 1;

constexpr int kInvalidCommand = 1200;
constexpr int kBusy = 1201;
constexpr int kNotProcessing = 1202;
constexpr int kCannotClose = 1203;

} // namespace

bool isWin9xFamily(const VersionRecord& v)
{
    return (((v.major == 4 && v.minor == 0) || v.major > 4) && v.platformId == kPlatformWin32Windows)
        || (v.major == 4 && v.minor > 0);
}

ReadOutput::ReadOutput(const Platform& platform)
    : processes_(platform.processes)
    , windows_(platform.windows)
    , getVersion_([version = platform.versionRecord] { return version; })
{
}

ReadOutput::~ReadOutput()
{
    *alive_ = false;
}

void ReadOutput::setEventPump(EventPump* events) { events_ = events; }

void ReadOutput::setVersionSource(std::function<VersionRecord()> source) { getVersion_ = std::move(source); }

void ReadOutput::SetCommand(const Text& sCommandVal) { sCommand = sCommandVal; }

Text ReadOutput::command() const { return sCommand; }

void ReadOutput::CancelProcess()
{
    if (bProcessing) {
        bCancel = true;
        return;
    }
    raiseError(u"Not currently processing a command!"s, kNotProcessing);
}

void ReadOutput::ProcessCommand()
{
    if (sCommand.empty()) {
        raiseError(u"Invalid Command."s, kInvalidCommand);
        return;
    }
    if (bProcessing) {
        raiseError(u"Currently processing a command!"s, kBusy);
        return;
    }
    ExecuteCommand(u'"' + sCommand + u'"');
}

void ReadOutput::raiseError(const Text& message, int code)
{
    int lastDllError = code; // a handler may change it; it is not read back
    Error(message, lastDllError);
}

void ReadOutput::ExecuteCommand(const Text& command)
{
    // Handlers and the event pump may delete this control, or throw: the run
    // keeps what it needs to close its handles either way.
    const std::shared_ptr<bool> alive = alive_;
    const std::shared_ptr<ProcessService> processes = processes_;
    EventPump* const events = events_;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        timeLimit_.count() > 0 ? Clock::now() + timeLimit_ : Clock::time_point::max();
    const auto pastDeadline = [deadline] { return Clock::now() >= deadline; };

    timedOut_ = false;
    bProcessing = true;
    PipeHandle readEnd = PipeHandle::None;
    PipeHandle writeEnd = PipeHandle::None;
    if (!processes->createPipe(readEnd, writeEnd)) {
        const int code = processes->lastError();
        bProcessing = false;
        raiseError(u"CreatePipe failed."s, code);
        return;
    }

    // The interpreter's path is quoted: unquoted, a path with a blank would
    // be read up to the blank first, and a file another user put there
    // would run in its place.
    const Text commandLine =
        u'"' + processes->commandInterpreter() + u"\" /c "s + command;
    int processId = 0;
    if (!processes->createProcess(commandLine, writeEnd, processId)) {
        const int code = processes->lastError();
        bProcessing = false;
        processes->closeHandle(readEnd);
        processes->closeHandle(writeEnd);
        raiseError(u"CreateProcess failed."s, code);
        return;
    }
    // Only the child holds the write end now, so its end shows as the end
    // of the output.
    processes->closeHandle(writeEnd);

    struct EndOfRun {
        std::function<void()> run;
        ~EndOfRun() { run(); }
    } endOfRun{[&] {
        processes->closeProcess(processId);
        processes->closeHandle(readEnd);
        if (*alive) {
            bProcessing = false;
            bCancel = false;
        }
    }};

    Starting();
    if (!*alive)
        return;
    bCancel = false;

    // One decoder for the whole run: a character split between two reads
    // is completed by the second.
    const std::unique_ptr<OutputDecoder> fromSystem = processes->outputDecoder();
    char buffer[kReadSize];
    for (;;) {
        if (events) {
            events->processEvents();
            if (!*alive)
                return;
            if (bCancel)
                break;
            // The wait for output is spent in the event loop, not in the
            // read: however long the command takes, the window stays usable,
            // and a cancellation is seen at once.
            events->waitUntil(
                [&] { return !*alive || bCancel || pastDeadline() || processes->outputReady(readEnd); });
            if (!*alive)
                return;
        }
        if (!bCancel && pastDeadline()) {
            timedOut_ = true;
            bCancel = true;
        }
        if (bCancel)
            break;
        int bytesRead = 0;
        const bool more = processes->readFile(readEnd, buffer, kReadSize, bytesRead);
        const Text chunk = fromSystem->decode(buffer, bytesRead);
        if (more) {
            GotChunk(chunk, false);
            if (!*alive)
                return;
            continue;
        }
        // Output that ends inside a character still shows that it was
        // there, as the decoder shows any other bad byte.
        Text last = chunk;
        if (const int held = fromSystem->heldBytes()) {
            GotChunk(chunk + Text(std::size_t(held), u'\uFFFD'), false);
            if (!*alive)
                return;
            last.clear();
        }
        GotChunk(last, true);
        if (!*alive)
            return;
        Complete();
        if (!*alive || !bCancel)
            return;
        break;
    }

    if (CloseProcess(processId, 0))
        Canceled();
    else
        raiseError(u"Cannot close process id: "s + decimal(processId), kCannotClose);
}

bool ReadOutput::CloseProcess(int lProcessID, int uExitCode)
{
    if (!bVersionChecked)
        CheckOSVersion();
    if (!bIsWin9x)
        return PostProcessMessage(lProcessID, kWmClose, 0);

    if (!PostProcessMessage(lProcessID, kWmEndSession, -1))
        return false;
    const ProcessHandle process = processes_->openProcess(lProcessID);
    if (process == ProcessHandle::None)
        return false;
    const bool terminated = processes_->terminateProcess(process, static_cast<std::uint32_t>(uExitCode));
    processes_->closeProcessHandle(process);
    return terminated;
}

void ReadOutput::CheckOSVersion()
{
    bIsWin9x = isWin9xFamily(getVersion_ ? getVersion_() : VersionRecord{});
    bVersionChecked = true;
}

bool ReadOutput::PostProcessMessage(int processId, std::uint32_t message, std::int64_t wParam)
{
    bool found = false;
    for (const WindowService::TopLevelWindow& w : windows_->topLevelWindows()) {
        if (w.parent == 0 && w.processId == processId) {
            windows_->postMessage(w.window, message, wParam, 0);
            found = true;
        }
    }
    return found;
}

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include "platform/identity.h"

#include "base/event.h"


#include <chrono>
#include <functional>
#include <memory>

namespace qni {

struct Platform;
class EventPump;
class ProcessService;
class WindowService;

// Runs one console command at a time through the command interpreter, with
// its output and errors in one pipe, and hands the output to its container
// through its events, each raised synchronously (Error's code is passed by
// reference). The control's refusals and failures reach the container only
// through Error; its methods always return. A faceless control: the window
// shows nothing of it.
class ReadOutput {
public:
    explicit ReadOutput(const Platform& platform);
    ~ReadOutput();
    ReadOutput(const ReadOutput&) = delete;
    ReadOutput& operator=(const ReadOutput&) = delete;

    // The command for the next run. Nothing is checked, and a run in
    // progress keeps the command it started with.
    void SetCommand(const Text& sCommandVal);
    Text command() const;

    // Asks the run in progress to stop at its next read; Error 1202 when
    // there is none.
    void CancelProcess();

    // Runs the stored command and returns when its output has ended or the
    // run was cancelled. Error 1200 for an empty command, 1201 during a run.
    void ProcessCommand();

    // Asks the process's top-level windows to close (WM_CLOSE); on the
    // Windows 95/98/Me family asks them to end the session and terminates the
    // process. True when at least one window was asked (and, there, the
    // process was terminated).
    bool CloseProcess(int lProcessID, int uExitCode = 0);

    // The program hands in its one event pump: a round of events runs before
    // every read, and the wait for output is spent in the event loop. Without
    // one the run does not stop for events and each read blocks.
    void setEventPump(EventPump* events);

    // A run that lasts longer than this is cancelled as CancelProcess
    // cancels it, so that a command that hangs, or whose child holds the
    // pipe open, cannot hold its container up for ever. Zero: no limit.
    // timedOut() tells whether the last run ended so.
    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    bool timedOut() const { return timedOut_; }

    // Stands for GetVersionExA (by default the platform's version record);
    // a seam for tests.
    void setVersionSource(std::function<VersionRecord()> source);

    // The control's events, in the order its container binds them.
    Event<const Text& /*Error*/, int& /*LastDLLError*/> Error;
    Event<const Text& /*sChunk*/, bool /*LastChunk*/> GotChunk;
    Event<> Complete;
    Event<> Starting;
    Event<> Canceled;

private:
    void ExecuteCommand(const Text& command);
    void CheckOSVersion();
    bool PostProcessMessage(int processId, std::uint32_t message, std::int64_t wParam);
    void raiseError(const Text& message, int code);

    std::shared_ptr<ProcessService> processes_;
    std::shared_ptr<WindowService> windows_;
    std::function<VersionRecord()> getVersion_;
    EventPump* events_ = nullptr;
    std::chrono::milliseconds timeLimit_{0};
    bool timedOut_ = false;

    bool bVersionChecked = false;
    bool bIsWin9x = false;
    Text sCommand;
    bool bProcessing = false;
    bool bCancel = false;
    // False once the control is gone: a handler may destroy it mid-run.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The operating-system family test: true for the Windows 95/98/Me family.
bool isWin9xFamily(const VersionRecord& version);

} // namespace qni

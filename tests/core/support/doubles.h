// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"
#include "app/headless_window.h"
#include "base/event_pump.h"
#include "base/result_boxes.h"
#include "described/described_processes.h"
#include "platform/platform.h"
#include "platform/process_service.h"
#include "platform/shell.h"
#include "platform/window_service.h"
#include "runner/read_output.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace qni::test {

using Json = nlohmann::json;

// The platform a machine description gives: scripted processes and no
// windows, and for every member the description leaves out a service that
// cannot be reached, never the test host's facts.
Platform describedPlatform(const Json& description);
// The same for a file of tests/data/machines, whose top-level members
// `change` replaces.
Platform machinePlatform(const char* file, const Json& change = Json::object());

// A pump that runs a given round instead of the event loop's, and never waits.
struct RoundPump final : EventPump {
    explicit RoundPump(std::function<void()> r = [] {}) : round(std::move(r)) {}
    std::function<void()> round;
    void processEvents() override { round(); }
    void waitUntil(const std::function<bool()>&) override {}
};

// A command that writes `output` and ends, read back in pieces of at most
// `chunk` bytes; with a negative chunk, a command that cannot be started.
class ScriptedProcesses final : public ProcessService {
public:
    explicit ScriptedProcesses(std::string output = {}, int chunk = 256) : output_(std::move(output)), chunk_(chunk) {}
    Text commandInterpreter() const override { return u"cmd"; }
    bool createPipe(PipeHandle& r, PipeHandle& w) override { return r = PipeHandle(3), w = PipeHandle(4), true; }
    bool createProcess(const Text& line, PipeHandle, int& id) override
    {
        return commandLines.push_back(line), next_ = 0, id = 42, chunk_ > 0;
    }
    bool readFile(PipeHandle, char* buffer, int size, int& bytesRead) override
    {
        bytesRead = int(std::min<std::size_t>({std::size_t(size), std::size_t(chunk_), output_.size() - next_}));
        std::copy_n(output_.data() + next_, bytesRead, buffer);
        return next_ += std::size_t(bytesRead), bytesRead > 0;
    }
    bool outputReady(PipeHandle) override { return true; }
    std::unique_ptr<OutputDecoder> outputDecoder() const override { return makeUtf8OutputDecoder(); }
    void closeHandle(PipeHandle) override {}
    void closeProcess(int) override {}
    ProcessHandle openProcess(std::int64_t id) override { return log.push_back("open " + std::to_string(id)), ProcessHandle(9); }
    bool terminateProcess(ProcessHandle h, std::uint32_t code) override
    {
        return log.push_back("terminate " + std::to_string(std::intptr_t(h)) + ' ' + std::to_string(code)), true;
    }
    void closeProcessHandle(ProcessHandle h) override { log.push_back("close " + std::to_string(std::intptr_t(h))); }
    int lastError() const override { return 2; }

    std::vector<Text> commandLines; // one per start
    std::vector<std::string> log;   // how processes were closed

private:
    std::string output_;
    int chunk_;
    std::size_t next_ = 0;
};

// Top-level windows as a test lays them out; posted messages go to `log`.
class ListedWindows final : public WindowService {
public:
    std::vector<TopLevelWindow> windows;
    std::vector<std::string>* log = nullptr;
    std::vector<TopLevelWindow> topLevelWindows() override { return windows; }
    bool postMessage(WindowId w, std::uint32_t message, std::int64_t wParam, std::int64_t) override
    {
        if (log)
            log->push_back("post " + std::to_string(w) + ' ' + std::to_string(message) + ' ' + std::to_string(wParam));
        return true;
    }
    void keepOffTaskBar(WindowId) override {}
    void offerMoveAndCloseOnly(WindowId) override {}
};

class RecordingShell final : public Shell {
public:
    void open(const Text& address) override { opened.push_back(address); }
    std::vector<Text> opened;
};

// `p` whose "ipconfig /all" writes `output` in pieces of `chunk` bytes; a
// negative chunk: it cannot be started.
inline Platform withOutput(Platform p, std::string output, int chunk = 256)
{
    p.processes = std::make_shared<ScriptedProcesses>(std::move(output), chunk);
    return p;
}

// Why `fact` was not gathered; empty if it was.
Text reasonOf(const GatherOutcome& outcome, Fact fact);

// The headless window on its own pump; gather() and network() run as a click
// does, less the pause.
struct PumpFirst {
    RoundPump pump;
};
struct PlainWindow : PumpFirst, HeadlessWindow {
    explicit PlainWindow(Platform p) : HeadlessWindow(std::move(p), pump) {}

    GatherOutcome gather();
    GatherOutcome network();

    Text publicPage = kPublicAddressPage;
    std::vector<Text> messages; // the message boxes a gather showed
};

} // namespace qni::test

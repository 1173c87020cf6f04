// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"
#include "platform/process_service.h"
#include "platform/shell.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qni::test {

// A command that writes `output` and ends.
class ScriptedProcesses final : public ProcessService {
public:
    explicit ScriptedProcesses(std::string output) : output_(std::move(output)) {}
    Text commandInterpreter() const override { return u"cmd"; }
    bool createPipe(PipeHandle& r, PipeHandle& w) override { return r = PipeHandle(3), w = PipeHandle(4), true; }
    bool createProcess(const Text& line, PipeHandle, int& id) override;
    bool readFile(PipeHandle, char* buffer, int size, int& bytesRead) override;
    bool outputReady(PipeHandle) override { return true; }
    std::unique_ptr<OutputDecoder> outputDecoder() const override;
    void closeHandle(PipeHandle) override {}
    void closeProcess(int) override {}
    ProcessHandle openProcess(std::int64_t) override { return ProcessHandle::None; }
    bool terminateProcess(ProcessHandle, std::uint32_t) override { return false; }
    void closeProcessHandle(ProcessHandle) override {}
    int lastError() const override { return 2; }

    std::vector<Text> commandLines; // one per start

private:
    std::string output_;
    std::size_t next_ = 0;
};

class RecordingShell final : public Shell {
public:
    void open(const Text& address) override { opened.push_back(address); }
    std::vector<Text> opened;
};

// The Windows that a machine description (tests/data/machines) describes,
// with nothing of this machine's: what the description leaves out cannot
// be reached, and "ipconfig /all" writes the recorded output.
struct DescribedMachine {
    Platform platform;
    std::shared_ptr<ScriptedProcesses> processes;
    std::shared_ptr<RecordingShell> shell;
};
DescribedMachine describedMachine(const std::filesystem::path& description, SleepFunction sleep = {});

} // namespace qni::test

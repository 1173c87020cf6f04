// SPDX-License-Identifier: MIT
#include "described_machine.h"

#include "described/described_services.h"
#include "described/machine_description.h"
#include "platform/window_service.h"

#include <algorithm>

namespace qni::test {

namespace {

class Latin1Decoder final : public OutputDecoder {
public:
    Text decode(const char* bytes, int count) override { return fromLatin1(std::string_view(bytes, count)); }
    int heldBytes() const override { return 0; }
};

class NoWindows final : public WindowService {
public:
    std::vector<TopLevelWindow> topLevelWindows() override { return {}; }
    bool postMessage(WindowId, std::uint32_t, std::int64_t, std::int64_t) override { return false; }
    void keepOffTaskBar(WindowId) override {}
    void offerMoveAndCloseOnly(WindowId) override {}
};

} // namespace

bool ScriptedProcesses::createProcess(const Text& line, PipeHandle, int& id)
{
    commandLines.push_back(line);
    next_ = 0;
    id = 42;
    return true;
}

bool ScriptedProcesses::readFile(PipeHandle, char* buffer, int size, int& bytesRead)
{
    bytesRead = int(std::min(std::size_t(size), output_.size() - next_));
    std::copy_n(output_.data() + next_, bytesRead, buffer);
    next_ += std::size_t(bytesRead);
    return bytesRead > 0;
}

std::unique_ptr<OutputDecoder> ScriptedProcesses::outputDecoder() const { return std::make_unique<Latin1Decoder>(); }

DescribedMachine describedMachine(const std::filesystem::path& description, SleepFunction sleep)
{
    const MachineDescription machine = loadMachineDescription(description);
    const auto command = machine.commands.value.find(u"ipconfig /all");
    DescribedMachine m;
    m.processes = std::make_shared<ScriptedProcesses>(
        command == machine.commands.value.end() ? std::string() : toUtf8(command->second));
    m.shell = std::make_shared<RecordingShell>();
    Platform base;
    base.processes = m.processes;
    base.windows = std::make_shared<NoWindows>();
    base.versionRecord = {5, 1, 2};
    base.sleep = sleep ? std::move(sleep) : [](std::chrono::milliseconds) {};
    base.shell = m.shell;
    base = applyDescription(parseMachineDescription(
                                R"({"registry": null, "management": null, "localAddress": null, "publicPage": null})",
                                u"nothing.json"),
                            std::move(base));
    m.platform = applyDescription(machine, std::move(base));
    return m;
}

} // namespace qni::test

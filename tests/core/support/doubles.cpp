// SPDX-License-Identifier: MIT
#include "support/doubles.h"

#include "described/described_services.h"
#include "described/machine_description.h"

#include <fstream>
#include <stdexcept>

namespace qni::test {

Platform describedPlatform(const Json& description)
{
    Platform base;
    base.processes = std::make_shared<ScriptedProcesses>();
    base.windows = std::make_shared<ListedWindows>();
    base.versionRecord = {5, 1, 2};
    base.sleep = [](std::chrono::milliseconds) {};
    base = applyDescription(parseMachineDescription(
                                R"({"registry": null, "management": null, "localAddress": null, "publicPage": null})",
                                u"nothing.json"),
                            std::move(base));
    return applyDescription(parseMachineDescription(description.dump(), u"test.json"), std::move(base));
}

Platform machinePlatform(const char* file, const Json& change)
{
    const std::string path = std::string(QNI_TEST_DATA "/machines/") + file;
    std::ifstream f(path, std::ios::binary);
    if (!f)
        throw std::runtime_error("cannot read " + path);
    Json machine = Json::parse(f);
    for (const auto& [key, value] : change.items())
        machine[key] = value;
    return describedPlatform(machine);
}

Text reasonOf(const GatherOutcome& outcome, Fact fact)
{
    for (const FactFailure& f : outcome.failures)
        if (f.fact == fact)
            return f.reason;
    return {};
}

GatherOutcome PlainWindow::gather()
{
    return HeadlessWindow::gather({publicPage}, [this](const Text& text) { messages.push_back(text); });
}

GatherOutcome PlainWindow::network()
{
    GatherOutcome outcome;
    runNetwork(publicPage, [&](const TextSlot& box, const Text& reason) {
        for (const FactInfo& info : kFacts)
            if (&info.box(b.boxes) == &box)
                outcome.fail(info.fact, reason);
    });
    return outcome;
}

} // namespace qni::test

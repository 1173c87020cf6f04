// SPDX-License-Identifier: MIT
// Program start on Windows: the command line, the platform (the machine's
// own services, or a described machine), then the window or one report.
#include "app/command_line.h"
#include "app/headless_window.h"
#include "app/report.h"
#include "console.h"
#include "described/described_processes.h"
#include "described/described_services.h"
#include "described/machine_description.h"
#include "platform/windows_platform.h"
#include "win_event_pump.h"
#include "window_run.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace qni;

const Text kProgramName = u"quarn-network-information";

std::vector<Text> arguments()
{
    std::vector<Text> args;
    int count = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
        LocalFree(argv);
    }
    return args;
}

// The machine's services, or the machine QNI_MACHINE describes on top of
// them; throws DescriptionError for a bad description.
Platform platformFromEnvironment()
{
    Platform p = windowsPlatform();
    const wchar_t* const path = _wgetenv(L"QNI_MACHINE");
    if (!path || !*path)
        return p;
    const MachineDescription description = loadMachineDescription(std::filesystem::path(path));
    p = applyDescription(description, std::move(p));
    // The recorded outputs take the place of the commands they record.
    if (description.commands.given())
        p.processes = makeDescribedProcesses(description.commands.value, p.processes);
    return p;
}

void sayOnStandardError(const Text& text)
{
    writeText(Stream::Error, kProgramName + u": " + text + u"\n");
}

int runReport(RunMode mode, Platform platform, const GatherSettings& settings)
{
    WinEventPump events;
    HeadlessWindow window(std::move(platform), events);
    const GatherOutcome outcome = window.gather(settings, sayOnStandardError);
    const ReportFacts facts = reportFacts(window.b.boxes, outcome);
    // A full disk or a closed pipe must not pass for a delivered report.
    if (!writeBytes(Stream::Output, mode == RunMode::Json ? jsonReport(facts) : textReport(facts))) {
        sayOnStandardError(u"the report could not be written to standard output");
        return 1;
    }
    return outcome.notXp ? 3 : 0;
}

} // namespace

int main()
{
    const CommandLine options = parseCommandLine(arguments(), kWindowsPublicAddressPage);
    if (!options.output.empty())
        writeText(Stream::Output, options.output);
    if (!options.error.empty())
        writeText(Stream::Error, options.error);
    if (options.exitStatus)
        return *options.exitStatus;

    Platform platform;
    try {
        platform = platformFromEnvironment();
    } catch (const DescriptionError& e) {
        sayOnStandardError(fromUtf8(e.what()));
        return 2;
    }
    if (options.mode != RunMode::Window)
        return runReport(options.mode, std::move(platform), options.settings);
    return runWindow(std::move(platform), options.settings);
}

// SPDX-License-Identifier: MIT
#include "probes/system_probes.h"

#include "base/resume.h"
#include "base/result_boxes.h"
#include "base/failure_report.h"
#include "base/step_failed.h"
#include "base/variant.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "probes/management_access.h"
#include "probes/registry_reader.h"

namespace qni {

using namespace std::literals;

namespace {

const Text kNoAnswer = u"the management service failed";

// All instances of a class; when the service fails or lists none, the box
// that would show them hears why it stays empty.
ManagementCollection listed(const Platform& platform, const Text& className, const TextSlot& box,
                            const FailureReport& report, const Text& none)
{
    ManagementCollection instances;
    Resume resume;
    resume([&] {
        instances = instancesOf(platform, className);
        if (instances.empty())
            report(box, u"the management service lists no "s + none);
    }, report.on(box, kNoAnswer));
    return instances;
}

// A Linux host is no Windows to test for XP: the frame shows its own system.
void showHostSystem(ResultBoxes& boxes, const HostIdentity& identity, const FailureReport& report)
{
    Resume resume;
    resume([&] { boxes.txtOS.set(identity.name); });
    resume([&] {
        boxes.txtOSSerial.set(identity.installationId);
        if (identity.installationId.empty())
            report(boxes.txtOSSerial,
                   u"the installation's id could not be read (/etc/machine-id is missing or is not "
                   u"32 hexadecimal digits)");
    });
    resume([&] {
        boxes.txtVersion.set(identity.kernelRelease);
        if (identity.kernelRelease.empty())
            report(boxes.txtVersion, u"the kernel release could not be read"s);
    });
}

} // namespace

void GetOSInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed)
{
    Resume resume;
    const FailureReport report(failed);
    if (platform.hostIdentity) {
        showHostSystem(boxes, *platform.hostIdentity, report);
        return;
    }
    ManagementCollection systems;
    Text systemsFailure; // told only once the system has passed as XP
    Text buildLab;

    // Asked before the XP test, although only the version step uses it.
    resume([&] { systems = instancesOf(platform, u"Win32_OperatingSystem"s); },
           [&](const std::exception& e) { systemsFailure = because(kNoAnswer, e); });
    resume([&] { buildLab = ReadRegValue(platform, regpath::kBuildLab); });
    resume([&] {
        if (buildLab.find(u"xp") != Text::npos)
            boxes.txtOS.set(u"Windows Xp"s);
    });
    // The box decides, not the test above.
    if (boxes.txtOS.get() != u"Windows Xp") {
        resume([&] { boxes.txtOS.set(u"Not XP!"s); });
        return;
    }
    if (systemsFailure.empty() && systems.empty())
        systemsFailure = u"the management service lists no operating system"s;
    if (!systemsFailure.empty()) {
        report(boxes.txtVersion, systemsFailure);
        report(boxes.txtOSSerial, systemsFailure);
    }
    // Each instance overwrites the boxes and the last one's values stay: only
    // the last one failing leaves a box without its value.
    Text versionFailure, serialFailure;
    for (const ManagementObject& system : systems) {
        versionFailure.clear();
        serialFailure.clear();
        resume([&] { boxes.txtVersion.set(system.property(u"Version").toText(platform.numberFormat)); },
               [&](const std::exception& e) { versionFailure = because(u"the version could not be read"s, e); });
        resume([&] { boxes.txtOSSerial.set(system.property(u"SerialNumber").toText(platform.numberFormat)); },
               [&](const std::exception& e) {
                   serialFailure = because(u"the serial number could not be read"s, e);
               });
    }
    if (!versionFailure.empty())
        report(boxes.txtVersion, versionFailure);
    if (!serialFailure.empty())
        report(boxes.txtOSSerial, serialFailure);
    resume([&] {
        const Text csd = ReadRegValue(platform, regpath::kCsdVersion);
        if (!csd.empty())
            boxes.txtOS.set(boxes.txtOS.get() + u' ' + csd);
    });
    resume([&] {
        const Text build = ReadRegValue(platform, regpath::kCurrentBuildNumber);
        boxes.txtOS.set(boxes.txtOS.get() + u" Build "s + build);
    });
}

void GetMemoryInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed)
{
    Resume resume;
    const FailureReport report(failed);
    // A failed query lists nothing: a "0 MB Chip" line would be a made-up module.
    const ManagementCollection chips = listed(platform, u"Win32_PhysicalMemory"s, boxes.txtMemory,
                                              report, u"memory module"s);
    std::vector<Text> unread; // 1-based module numbers
    Text why;
    for (std::size_t i = 0; i < chips.size(); ++i) {
        const ManagementObject& chip = chips[i];
        // A chip whose capacity cannot be read or converted gets no line:
        // repeating an earlier chip's size would show a size it does not have.
        resume([&] {
            boxes.txtTotal.set(chip.property(u"capacity").toText(platform.numberFormat));
            const Text capacity = boxes.txtTotal.get();
            const double kilobytes = parseNumber(capacity, platform.numberFormat) / 1024.0;
            const double megabytes = kilobytes / 1024;
            boxes.txtMemory.append(formatGeneral(megabytes, platform.numberFormat) + u" MB"s + u" Chip"s +
                                   u"\r\n"s);
        }, [&](const std::exception& e) {
            unread.push_back(decimal((long long)i + 1));
            if (why.empty())
                why = fromUtf8(e.what());
        });
    }
    // The other modules' lines do not make up for a missing one.
    if (unread.size() == 1)
        report(boxes.txtMemory, because(u"the size of module "s + unread[0] +
                                             u" could not be read"s, why));
    else if (unread.size() > 1)
        report(boxes.txtMemory, u"the sizes of modules "s + join(unread, u", ") +
                                    u" could not be read"s);
}

void GetCPUInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed)
{
    Resume resume;
    const FailureReport report(failed);
    const ManagementCollection processors =
        listed(platform, u"Win32_Processor"s, boxes.txtCPUSpeed, report, u"processor"s);
    // The last processor's clock stays: only its failing leaves the box without it.
    Text clockFailure;
    for (const ManagementObject& processor : processors) {
        clockFailure.clear();
        resume([&] {
            boxes.txtCPUSpeed.set(processor.property(u"currentclockspeed").joinedText(platform.numberFormat) +
                                  u" Mhz"s);
        }, [&](const std::exception& e) { clockFailure = because(u"the clock speed could not be read"s, e); });
    }
    if (!clockFailure.empty())
        report(boxes.txtCPUSpeed, clockFailure);
    resume([&] {
        boxes.txtCPU.set(ReadRegValue(platform, regpath::kProcessorNameString));
        if (boxes.txtCPU.get().empty())
            report(boxes.txtCPU, u"the processor's name could not be read from the registry"s);
    });
}

} // namespace qni

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

namespace {

const QString kNoAnswer = QStringLiteral("the management service failed");

// All instances of a class; when the service fails or lists none, the box
// that would show them hears why it stays empty.
ManagementCollection listed(const Platform& platform, const QString& className, const TextSlot& box,
                            const FailureReport& report, const QString& none)
{
    ManagementCollection instances;
    Resume resume;
    resume([&] {
        instances = instancesOf(platform, className);
        if (instances.isEmpty())
            report(box, QStringLiteral("the management service lists no ") + none);
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
        if (identity.installationId.isEmpty())
            report(boxes.txtOSSerial,
                   QStringLiteral("the installation's id could not be read (/etc/machine-id is missing or is not "
                                  "32 hexadecimal digits)"));
    });
    resume([&] {
        boxes.txtVersion.set(identity.kernelRelease);
        if (identity.kernelRelease.isEmpty())
            report(boxes.txtVersion, QStringLiteral("the kernel release could not be read"));
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
    QString systemsFailure; // told only once the system has passed as XP
    QString buildLab;

    // Asked before the XP test, although only the version step uses it.
    resume([&] { systems = instancesOf(platform, QStringLiteral("Win32_OperatingSystem")); },
           [&](const std::exception& e) { systemsFailure = because(kNoAnswer, e); });
    resume([&] { buildLab = ReadRegValue(platform, regpath::kBuildLab); });
    resume([&] {
        if (buildLab.contains(QLatin1String("xp"), Qt::CaseSensitive))
            boxes.txtOS.set(QStringLiteral("Windows Xp"));
    });
    // The box decides, not the test above.
    if (boxes.txtOS.get() != QLatin1String("Windows Xp")) {
        resume([&] { boxes.txtOS.set(QStringLiteral("Not XP!")); });
        return;
    }
    if (systemsFailure.isEmpty() && systems.isEmpty())
        systemsFailure = QStringLiteral("the management service lists no operating system");
    if (!systemsFailure.isEmpty()) {
        report(boxes.txtVersion, systemsFailure);
        report(boxes.txtOSSerial, systemsFailure);
    }
    // Each instance overwrites the boxes and the last one's values stay: only
    // the last one failing leaves a box without its value.
    QString versionFailure, serialFailure;
    for (const ManagementObject& system : systems) {
        versionFailure.clear();
        serialFailure.clear();
        resume([&] { boxes.txtVersion.set(system.property(QStringLiteral("Version")).toText()); },
               [&](const std::exception& e) { versionFailure = because(QStringLiteral("the version could not be read"), e); });
        resume([&] { boxes.txtOSSerial.set(system.property(QStringLiteral("SerialNumber")).toText()); },
               [&](const std::exception& e) {
                   serialFailure = because(QStringLiteral("the serial number could not be read"), e);
               });
    }
    if (!versionFailure.isEmpty())
        report(boxes.txtVersion, versionFailure);
    if (!serialFailure.isEmpty())
        report(boxes.txtOSSerial, serialFailure);
    resume([&] {
        const QString csd = ReadRegValue(platform, regpath::kCsdVersion);
        if (!csd.isEmpty())
            boxes.txtOS.set(boxes.txtOS.get() + QLatin1Char(' ') + csd);
    });
    resume([&] {
        const QString build = ReadRegValue(platform, regpath::kCurrentBuildNumber);
        boxes.txtOS.set(boxes.txtOS.get() + QStringLiteral(" Build ") + build);
    });
}

void GetMemoryInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed)
{
    Resume resume;
    const FailureReport report(failed);
    // A failed query lists nothing: a "0 MB Chip" line would be a made-up module.
    const ManagementCollection chips = listed(platform, QStringLiteral("Win32_PhysicalMemory"), boxes.txtMemory,
                                              report, QStringLiteral("memory module"));
    QStringList unread; // 1-based module numbers
    QString why;
    for (qsizetype i = 0; i < chips.size(); ++i) {
        const ManagementObject& chip = chips[i];
        // A chip whose capacity cannot be read or converted gets no line:
        // repeating an earlier chip's size would show a size it does not have.
        resume([&] {
            boxes.txtTotal.set(chip.property(QStringLiteral("capacity")).toText());
            const QString capacity = boxes.txtTotal.get();
            const double kilobytes = parseNumber(capacity) / 1024.0;
            const double megabytes = kilobytes / 1024;
            boxes.txtMemory.append(formatGeneral(megabytes) + QStringLiteral(" MB") + QStringLiteral(" Chip") +
                                   QStringLiteral("\r\n"));
        }, [&](const std::exception& e) {
            unread << QString::number(i + 1);
            if (why.isEmpty())
                why = QString::fromUtf8(e.what());
        });
    }
    // The other modules' lines do not make up for a missing one.
    if (unread.size() == 1)
        report(boxes.txtMemory, because(QStringLiteral("the size of module ") + unread[0] +
                                             QStringLiteral(" could not be read"), why));
    else if (unread.size() > 1)
        report(boxes.txtMemory, QStringLiteral("the sizes of modules ") + unread.join(QStringLiteral(", ")) +
                                    QStringLiteral(" could not be read"));
}

void GetCPUInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed)
{
    Resume resume;
    const FailureReport report(failed);
    const ManagementCollection processors =
        listed(platform, QStringLiteral("Win32_Processor"), boxes.txtCPUSpeed, report, QStringLiteral("processor"));
    // The last processor's clock stays: only its failing leaves the box without it.
    QString clockFailure;
    for (const ManagementObject& processor : processors) {
        clockFailure.clear();
        resume([&] {
            boxes.txtCPUSpeed.set(processor.property(QStringLiteral("currentclockspeed")).joinedText() +
                                  QStringLiteral(" Mhz"));
        }, [&](const std::exception& e) { clockFailure = because(QStringLiteral("the clock speed could not be read"), e); });
    }
    if (!clockFailure.isEmpty())
        report(boxes.txtCPUSpeed, clockFailure);
    resume([&] {
        boxes.txtCPU.set(ReadRegValue(platform, regpath::kProcessorNameString));
        if (boxes.txtCPU.get().isEmpty())
            report(boxes.txtCPU, QStringLiteral("the processor's name could not be read from the registry"));
    });
}

} // namespace qni

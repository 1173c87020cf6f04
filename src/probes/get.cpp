#include "probes/get.h"

#include "base/resume.h"
#include "base/result_boxes.h"
#include "base/variant.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "probes/management_access.h"
#include "probes/registry_reader.h"

namespace qni {

void GetOSInfo(ResultBoxes& boxes, const Platform& platform)
{
    Resume resume;
    ManagementCollection systems;
    QString buildLab;

    // Asked before the XP test, although only the version step uses it.
    resume([&] { systems = instancesOf(platform, QStringLiteral("Win32_OperatingSystem")); });
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
    for (const ManagementObject& system : systems) {
        resume([&] { boxes.txtVersion.set(system.property(QStringLiteral("Version")).toText()); });
        resume([&] { boxes.txtOSSerial.set(system.property(QStringLiteral("SerialNumber")).toText()); });
    }
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

void GetMemoryInfo(ResultBoxes& boxes, const Platform& platform)
{
    Resume resume;
    ManagementCollection chips;
    // A failed query lists nothing: a "0 MB Chip" line would be a made-up module.
    resume([&] { chips = instancesOf(platform, QStringLiteral("Win32_PhysicalMemory")); });
    for (const ManagementObject& chip : chips) {
        // A chip whose capacity cannot be read or converted gets no line:
        // repeating an earlier chip's size would show a size it does not have.
        resume([&] {
            boxes.txtTotal.set(chip.property(QStringLiteral("capacity")).toText());
            const QString capacity = boxes.txtTotal.get();
            const double kilobytes = parseNumber(capacity) / 1024.0;
            const double megabytes = kilobytes / 1024;
            boxes.txtMemory.append(formatGeneral(megabytes) + QStringLiteral(" MB") + QStringLiteral(" Chip") +
                                   QStringLiteral("\r\n"));
        });
    }
}

void GetCPUInfo(ResultBoxes& boxes, const Platform& platform)
{
    Resume resume;
    ManagementCollection processors;
    resume([&] { processors = instancesOf(platform, QStringLiteral("Win32_Processor")); });
    for (const ManagementObject& processor : processors) {
        resume([&] {
            boxes.txtCPUSpeed.set(processor.property(QStringLiteral("currentclockspeed")).joinedText() +
                                  QStringLiteral(" Mhz"));
        });
    }
    resume([&] { boxes.txtCPU.set(ReadRegValue(platform, regpath::kProcessorNameString)); });
}

} // namespace qni

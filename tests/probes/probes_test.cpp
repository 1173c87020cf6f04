// SPDX-License-Identifier: MIT
#include "platform/registry.h"
#include "probes/system_probes.h"
#include "probes/registry_reader.h"
#include "support/machine.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

Platform machine(const QJsonObject& registry, const char* className = "", const QJsonArray& instances = {})
{
    return describedPlatform({{"registry", registry}, {"management", QJsonObject{{className, instances}}}});
}

TEST(GetOSInfo, TheLineOrTheRefusal)
{
    const QJsonArray os = {QJsonObject{{"Version", "1"}, {"SerialNumber", "S1"}},
                           QJsonObject{{"version", QJsonValue::Null}, {"serialnumber", "S2"}}};
    const std::pair<QJsonObject, const char*> cases[] = {
        {{{regpath::kBuildLab, "2600.xpsp.080413-2111"}, {regpath::kCsdVersion, "Service Pack 3"},
          {regpath::kCurrentBuildNumber, "2600"}}, "Windows Xp Service Pack 3 Build 2600"},
        {{{regpath::kBuildLab, "abcxpdef"}, {regpath::kCsdVersion, ""}}, "Windows Xp Build "},
        // The test is case-sensitive, and a refusal reads nothing further.
        {{{regpath::kBuildLab, "2600.XPSP.080413"}, {regpath::kCsdVersion, "Service Pack 3"}}, "Not XP!"},
        {{{regpath::kBuildLab, "6000.vista_rtm"}}, "Not XP!"},
        {{{regpath::kCsdVersion, "Service Pack 3"}}, "Not XP!"},
    };
    for (const auto& [registry, line] : cases) {
        PlainBoxes b;
        GetOSInfo(b.boxes, machine(registry, "Win32_OperatingSystem", os));
        EXPECT_EQ(b.txtOS.get(), line);
        // Each instance assigns what it can: a null version loses only its own step.
        EXPECT_EQ(b.txtVersion.get() + b.txtOSSerial.get(), QLatin1String(line) != "Not XP!" ? "1S2" : "") << line;
    }
    // The gather empties txtOS first: a box that already reads "Windows Xp"
    // passes, and an unreachable service keeps the version boxes.
    PlainBoxes b;
    b.txtOS.set(QStringLiteral("Windows Xp"));
    b.txtVersion.set(QStringLiteral("kept"));
    GetOSInfo(b.boxes, describedPlatform({{"registry", QJsonObject{{regpath::kBuildLab, "6000.vista"}}}}));
    EXPECT_EQ(b.txtOS.get() + b.txtVersion.get(), "Windows Xp Build kept");
}

TEST(GetOSInfo, ALinuxHostShowsItsOwnSystem)
{
    // The registry would refuse; the host's identity takes the Windows rule's place.
    const std::tuple<HostIdentity, const char*, QStringList> cases[] = {
        {{"Debian GNU/Linux 12 (bookworm)", "4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f", "6.1.0-18-amd64"},
         "Debian GNU/Linux 12 (bookworm)|4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f|6.1.0-18-amd64", {}},
        {{"Not XP!", "", ""}, "Not XP!||", {"serial", "version"}},
    };
    for (const auto& [identity, shown, failures] : cases) {
        Platform p = machine({{regpath::kBuildLab, "6000.vista"}});
        p.hostIdentity = identity;
        PlainBoxes b;
        QStringList failed;
        GetOSInfo(b.boxes, p, [&](const TextSlot& box, const QString&) {
            failed << (&box == &b.txtOSSerial ? "serial" : &box == &b.txtVersion ? "version" : "other");
        });
        EXPECT_EQ(b.txtOS.get() + '|' + b.txtOSSerial.get() + '|' + b.txtVersion.get(), shown);
        EXPECT_EQ(failed, failures);
    }
}

TEST(GetMemoryInfo, OneLinePerChipWhoseCapacityReads)
{
    const std::tuple<QJsonArray, const char*, const char*> cases[] = {
        {{QJsonObject{{"Capacity", "536870912"}}, QJsonObject{{"capacity", 536870912}}}, "512 MB Chip\r\n512 MB Chip\r\n", "536870912"},
        {{QJsonObject{{"Capacity", QJsonValue::Null}}, QJsonObject{{"Capacity", 268435456}}, QJsonObject{{"Capacity", "unknown"}}},
         "256 MB Chip\r\n", "unknown"},
        {{QJsonObject{}}, "", "before"},
    };
    for (const auto& [chips, memory, staged] : cases) {
        PlainBoxes b;
        b.txtTotal.set(QStringLiteral("before"));
        GetMemoryInfo(b.boxes, machine({}, "Win32_PhysicalMemory", chips));
        EXPECT_EQ(b.txtMemory.get() + '|' + b.txtTotal.get(), QString::fromLatin1(memory) + '|' + staged);
    }
    PlainBoxes none; // the class cannot be had: no made-up module
    GetMemoryInfo(none.boxes, machine({}));
    EXPECT_EQ(none.txtMemory.get(), QString());
    // Sizes are written as the user's locale writes numbers.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PlainBoxes german;
    GetMemoryInfo(german.boxes, machine({}, "Win32_PhysicalMemory", {QJsonObject{{"Capacity", "1000000000"}}}));
    QLocale::setDefault(saved);
    EXPECT_EQ(german.txtMemory.get(), "953,67431640625 MB Chip\r\n");
}

TEST(GetCPUInfo, TheLastClockAndTheStoredName)
{
    PlainBoxes b;
    GetCPUInfo(b.boxes, machine({{regpath::kProcessorNameString, "   Intel(R) Pentium(R) 4 CPU 3.00GHz"}}, "Win32_Processor",
                                {QJsonObject{{"CurrentClockSpeed", 1000}}, QJsonObject{{"currentclockspeed", 2992}}}));
    EXPECT_EQ(b.txtCPUSpeed.get() + '|' + b.txtCPU.get(), "2992 Mhz|   Intel(R) Pentium(R) 4 CPU 3.00GHz");
    PlainBoxes n; // a null clock joins as empty text; a missing name empties the box
    n.txtCPU.set(QStringLiteral("old"));
    GetCPUInfo(n.boxes, machine({}, "Win32_Processor", {QJsonObject{{"CurrentClockSpeed", QJsonValue::Null}}}));
    EXPECT_EQ(n.txtCPUSpeed.get() + '|' + n.txtCPU.get(), " Mhz|");
}

TEST(ReadRegValue, TextOrNothing)
{
    const QString path = QStringLiteral("HKEY_LOCAL_MACHINE\\X\\V");
    for (const auto& [value, text] : {std::pair<QJsonValue, const char*>{"2600", "2600"}, {2600, "2600"},
                                      {QJsonArray{"a", "b"}, ""}, {QJsonValue::Null, ""}})
        EXPECT_EQ(ReadRegValue(machine({{path, value}}), path), text);
    EXPECT_EQ(ReadRegValue(machine({}), path), QString());
    EXPECT_EQ(ReadRegValue(describedPlatform({}), path), QString()); // no shell object
}

} // namespace

// SPDX-License-Identifier: MIT
#include "platform/registry.h"
#include "probes/system_probes.h"
#include "probes/registry_reader.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

const std::string kBuildLab = toUtf8(regpath::kBuildLab);
const std::string kCsdVersion = toUtf8(regpath::kCsdVersion);

Platform machine(const Json& registry, const char* className = "", const Json& instances = Json::array())
{
    return describedPlatform({{"registry", registry}, {"management", Json{{className, instances}}}});
}

std::string boxes(std::initializer_list<const TextSlot*> slots)
{
    std::string joined;
    for (const TextSlot* s : slots)
        joined += '|' + toUtf8(s->get());
    return joined.substr(1);
}

TEST(GetOSInfo, TheLineOrTheRefusal)
{
    const Json os = Json::array({{{"Version", "1"}, {"SerialNumber", "S1"}}, {{"version", nullptr}, {"serialnumber", "S2"}}});
    const std::pair<Json, const char*> cases[] = {
        {{{kBuildLab, "2600.xpsp.080413-2111"}, {kCsdVersion, "Service Pack 3"},
          {toUtf8(regpath::kCurrentBuildNumber), "2600"}}, "Windows Xp Service Pack 3 Build 2600"},
        {{{kBuildLab, "abcxpdef"}, {kCsdVersion, ""}}, "Windows Xp Build "},
        // The test is case-sensitive, and a refusal reads nothing further.
        {{{kBuildLab, "2600.XPSP.080413"}, {kCsdVersion, "Service Pack 3"}}, "Not XP!"},
        {{{kBuildLab, "6000.vista_rtm"}}, "Not XP!"},
        {{{kCsdVersion, "Service Pack 3"}}, "Not XP!"},
    };
    for (const auto& [registry, line] : cases) {
        PlainBoxes b;
        GetOSInfo(b.boxes, machine(registry, "Win32_OperatingSystem", os));
        EXPECT_EQ(toUtf8(b.txtOS.get()), line);
        // Each instance assigns what it can: a null version loses only its own step.
        EXPECT_EQ(boxes({&b.txtVersion, &b.txtOSSerial}), std::string_view(line) != "Not XP!" ? "1|S2" : "|") << line;
    }
    // The gather empties txtOS first: a box that already reads "Windows Xp"
    // passes, and an unreachable service keeps the version boxes.
    PlainBoxes b;
    b.txtOS.set(u"Windows Xp");
    b.txtVersion.set(u"kept");
    GetOSInfo(b.boxes, describedPlatform({{"registry", {{kBuildLab, "6000.vista"}}}}));
    EXPECT_EQ(boxes({&b.txtOS, &b.txtVersion}), "Windows Xp Build |kept");
}

TEST(GetOSInfo, ALinuxHostShowsItsOwnSystem)
{
    // The registry would refuse; the host's identity takes the Windows rule's place.
    const std::tuple<HostIdentity, const char*, std::vector<std::string>> cases[] = {
        {{u"Debian GNU/Linux 12 (bookworm)", u"4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f", u"6.1.0-18-amd64"},
         "Debian GNU/Linux 12 (bookworm)|4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f|6.1.0-18-amd64", {}},
        {{u"Not XP!", u"", u""}, "Not XP!||", {"serial", "version"}},
    };
    for (const auto& [identity, shown, failures] : cases) {
        Platform p = machine({{kBuildLab, "6000.vista"}});
        p.hostIdentity = identity;
        PlainBoxes b;
        std::vector<std::string> failed;
        GetOSInfo(b.boxes, p, [&](const TextSlot& box, const Text&) {
            failed.push_back(&box == &b.txtOSSerial ? "serial" : &box == &b.txtVersion ? "version" : "other");
        });
        EXPECT_EQ(boxes({&b.txtOS, &b.txtOSSerial, &b.txtVersion}), shown);
        EXPECT_EQ(failed, failures);
    }
}

TEST(GetMemoryInfo, OneLinePerChipWhoseCapacityReads)
{
    const std::tuple<Json, const char*, const char*> cases[] = {
        {Json::array({{{"Capacity", "536870912"}}, {{"capacity", 536870912}}}), "512 MB Chip\r\n512 MB Chip\r\n", "536870912"},
        {Json::array({{{"Capacity", nullptr}}, {{"Capacity", 268435456}}, {{"Capacity", "unknown"}}}), "256 MB Chip\r\n", "unknown"},
        {Json::array({Json::object()}), "", "before"},
    };
    for (const auto& [chips, memory, staged] : cases) {
        PlainBoxes b;
        b.txtTotal.set(u"before");
        GetMemoryInfo(b.boxes, machine(Json::object(), "Win32_PhysicalMemory", chips));
        EXPECT_EQ(boxes({&b.txtMemory, &b.txtTotal}), std::string(memory) + '|' + staged);
    }
    PlainBoxes none; // the class cannot be had: no made-up module
    GetMemoryInfo(none.boxes, machine(Json::object()));
    EXPECT_EQ(none.txtMemory.get(), u"");
    // Sizes are written as the user writes numbers.
    Platform german = machine(Json::object(), "Win32_PhysicalMemory", Json::array({{{"Capacity", "1000000000"}}}));
    german.numberFormat.decimalSeparator = u',';
    PlainBoxes g;
    GetMemoryInfo(g.boxes, german);
    EXPECT_EQ(g.txtMemory.get(), u"953,67431640625 MB Chip\r\n");
}

TEST(GetCPUInfo, TheLastClockAndTheStoredName)
{
    PlainBoxes b;
    GetCPUInfo(b.boxes, machine({{toUtf8(regpath::kProcessorNameString), "   Intel(R) Pentium(R) 4 CPU 3.00GHz"}}, "Win32_Processor",
                                Json::array({{{"CurrentClockSpeed", 1000}}, {{"currentclockspeed", 2992}}})));
    EXPECT_EQ(boxes({&b.txtCPUSpeed, &b.txtCPU}), "2992 Mhz|   Intel(R) Pentium(R) 4 CPU 3.00GHz");
    PlainBoxes n; // a null clock joins as empty text; a missing name empties the box
    n.txtCPU.set(u"old");
    GetCPUInfo(n.boxes, machine(Json::object(), "Win32_Processor", Json::array({{{"CurrentClockSpeed", nullptr}}})));
    EXPECT_EQ(boxes({&n.txtCPUSpeed, &n.txtCPU}), " Mhz|");
}

TEST(ReadRegValue, TextOrNothing)
{
    const std::string path = "HKEY_LOCAL_MACHINE\\X\\V";
    for (const auto& [value, text] : {std::pair<Json, const char16_t*>{"2600", u"2600"}, {2600, u"2600"},
                                      {Json::array({"a", "b"}), u""}, {nullptr, u""}})
        EXPECT_EQ(ReadRegValue(machine({{path, value}}), fromUtf8(path)), text);
    EXPECT_EQ(ReadRegValue(machine(Json::object()), fromUtf8(path)), u"");
    EXPECT_EQ(ReadRegValue(describedPlatform(Json::object()), fromUtf8(path)), u""); // no shell object
}

} // namespace

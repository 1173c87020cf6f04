// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "platform/registry.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

// Logs what the boxes hold each time the window gets to handle its events.
struct GatherRun {
    PlainBoxes b;
    Platform platform = machinePlatform("xp-sp3.json");
    std::vector<std::string> log;
    RoundPump events{[this] {
        log.push_back("events:" + std::to_string(b.txtMemory.get().size()) + '|' + toUtf8(b.txtCPUSpeed.get()));
    }};
    GatherHost host{b.boxes, platform, events, [this](const Text& m) { log.push_back(toUtf8(m)); },
                    [this](const BoxFailed&) { log.push_back("network:" + toUtf8(b.lblStatus.get())); }};
};

TEST(Gather, ProbesInOrderWithEventsBetweenThemThenTheNetwork)
{
    GatherRun r;
    runGather(r.host);
    EXPECT_EQ(r.log, (std::vector<std::string>{"events:0|", "events:26|", "events:26|2992 Mhz", "network:" + toUtf8(kGathering)}));
    EXPECT_EQ(r.b.lblStatus.get(), kGathered);
}

TEST(Gather, EmptiesTheTenVisibleBoxesButNotTheHiddenOnes)
{
    GatherRun r;
    r.platform = describedPlatform({{"registry", {{toUtf8(regpath::kBuildLab), "xp"}}}});
    r.host.networkSection = nullptr;
    const std::vector<TextSlot*> boxes = {&r.b.txtOutput, &r.b.txtIP,  &r.b.txtTotal,    &r.b.txtOSSerial,
                                          &r.b.txtVersion, &r.b.txtMemory, &r.b.txtCPU, &r.b.txtCPUSpeed,
                                          &r.b.txtNETIP,  &r.b.txtINTIP, &r.b.txtMask, &r.b.txtMac};
    Text held;
    for (TextSlot* box : boxes)
        box->set(u"old");
    runGather(r.host);
    for (TextSlot* box : boxes)
        held += box->get() + u'|';
    EXPECT_EQ(held, u"old|old|old|" + Text(9, u'|'));
}

TEST(Gather, TheGateReadsTheBoxNotTheProbe)
{
    // Without a registry the probe says "Not XP!"; an event handled after it
    // rewrites the box, and the run goes on through failing steps.
    GatherRun r;
    r.platform = describedPlatform(Json::object());
    r.events.round = [&] { r.b.txtOS.set(u"typed"); };
    r.host.networkSection = [](const BoxFailed&) { throw StepFailed("network"); };
    runGather(r.host);
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(r.b.lblStatus.get(), kGatheredWithErrors);

    // A Linux host passes whatever its system calls itself.
    GatherRun host;
    host.platform.hostIdentity = HostIdentity{u"Not XP!", u"1", u"2"};
    EXPECT_FALSE(runGather(host.host).notXp);
    EXPECT_EQ(host.b.txtOS.get() + host.b.lblStatus.get(), u"Not XP!" + kGathered);
}

const std::string kLanOutput = "Windows IP Configuration\r\n\r\nEthernet adapter Local Area Connection:\r\n\r\n"
                               "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
                               "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
                               "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n";

// The whole run on the described XP machine, changed by `change`, with
// "ipconfig /all" writing `output`.
std::pair<GatherOutcome, Text> gatherOn(const Json& change, const std::string& output = kLanOutput, int chunk = 256,
                                        const Text& page = kPublicAddressPage)
{
    PlainWindow t(withOutput(machinePlatform("xp-sp3.json", change), output, chunk));
    t.publicPage = page;
    GatherOutcome outcome = t.gather();
    EXPECT_EQ(t.messages, outcome.notXp ? std::vector<Text>{kNotXpMessage} : std::vector<Text>());
    // A failed fact shows nothing, never an earlier run's value; only the
    // memory box keeps the modules that could be read, and the clock box the
    // clock of a processor before the one that failed.
    for (const FactFailure& failure : outcome.failures) {
        if (failure.fact == Fact::MemoryChips || failure.fact == Fact::ClockedSpeed)
            continue;
        EXPECT_EQ(factInfo(failure.fact).box(t.b.boxes).get(), u"") << toUtf8(factInfo(failure.fact).caption);
    }
    return {outcome, t.b.lblStatus.get()};
}

// A management service of these instances, whose enabled adapters list no
// masks, and the page when one is given.
Json management(const Json& systems, const Json& chips, const Json& processors, const Json& page = Json())
{
    Json change = {{"management", {{"Win32_OperatingSystem", systems}, {"Win32_PhysicalMemory", chips},
                                   {"Win32_Processor", processors}, {"Win32_NetworkAdapterConfiguration", Json::array()}}}};
    if (!page.is_null())
        change["publicPage"] = page;
    return change;
}

const Json kSystem = {{"Version", "5.1"}, {"SerialNumber", "1"}}, kChip = {{"Capacity", 1}},
           kClock = {{"CurrentClockSpeed", 1}}, kNone = Json::object();

TEST(Gather, TheStatusLineSaysWhetherEveryFactWasGatheredAndTheOutcomeWhichWereNot)
{
    using F = Fact;
    const Json xpRegistryOnly = {{"management", nullptr}, {"localAddress", nullptr}, {"publicPage", nullptr}};
    // What changes on the XP machine (whose whole run, and its refusal of
    // other versions, the window's end-to-end test shows), what "ipconfig
    // /all" writes in pieces of `chunk` bytes; then the status line and the
    // failed facts.
    const std::tuple<const char*, Json, std::string, int, Text, std::vector<Fact>> cases[] = {
        {"nothing to show is no failure", management(Json::array({kSystem}), Json::array({kChip}), Json::array({kClock})),
         "Windows IP Configuration\r\n", 256, kGathered, {}},
        {"services fail", xpRegistryOnly, "", -1, kGatheredWithErrors,
         {F::SerialNumber, F::OsVersion, F::MemoryChips, F::ClockedSpeed, F::NetworkAddress, F::InternetAddress,
          F::SubnetMask, F::MacAddress}},
        {"empty lists and no address on the page",
         management(Json::array({kNone}), Json::array(), Json::array({kClock}), "displaycopy() but no address"),
         toUtf8(replaced(fromUtf8(kLanOutput), u"Physical", u"Hardware")), 256, kGatheredWithErrors,
         {F::SerialNumber, F::OsVersion, F::MemoryChips, F::InternetAddress, F::MacAddress}},
        // Each instance overwrites the last one's version, serial and clock:
        // only the last one failing leaves a box short.
        {"an earlier instance unread, the last one read",
         management(Json::array({kNone, kSystem}), Json::array({kChip}), Json::array({kNone, kClock})), kLanOutput, 256, kGathered, {}},
        {"one module unread among others, the last processor unread",
         management(Json::array({kSystem}), Json::array({kChip, {{"Capacity", Json::array({"1"})}}}), Json::array({kClock, kNone})),
         kLanOutput, 256, kGatheredWithErrors, {F::MemoryChips, F::ClockedSpeed}},
    };
    for (const auto& [name, change, output, chunk, status, failed] : cases) {
        SCOPED_TRACE(name);
        const auto [outcome, shown] = gatherOn(change, output, chunk);
        EXPECT_EQ(shown, status);
        std::vector<Fact> facts;
        for (const FactFailure& f : outcome.failures)
            facts.push_back(f.fact);
        EXPECT_EQ(facts, failed);
    }
    // Each line of the list: the fact's caption, then why; no page chosen is a failure.
    const auto [outcome, status] =
        gatherOn(management(Json::array({kSystem}), Json::array({kChip, {{"Capacity", "x"}}}), Json::array({kClock})), "", -1, {});
    EXPECT_EQ(toUtf8(failureList(outcome)), "Memory Chips: the size of module 2 could not be read (type mismatch)\n"
                                            "Internet Address: no public-address page is set\n"
                                            "Mac Address: ipconfig /all could not be run (CreateProcess failed)");
}

} // namespace

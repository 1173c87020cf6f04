// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "platform/registry.h"
#include "support/window.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

// Logs what the boxes hold each time the window gets to handle its events.
struct GatherRun {
    PlainBoxes b;
    Platform platform = machinePlatform("xp-sp3.json");
    QStringList log;
    RoundPump events{[this] { log << QStringLiteral("events:%1|%2").arg(b.txtMemory.get().size()).arg(b.txtCPUSpeed.get()); }};
    GatherHost host{b.boxes, platform, events, [this](const QString& m) { log << m; },
                    [this](const BoxFailed&) { log << "network:" + b.lblStatus.get(); }};
};

TEST(Gather, ProbesInOrderWithEventsBetweenThemThenTheNetwork)
{
    GatherRun r;
    runGather(r.host);
    EXPECT_EQ(r.log, (QStringList{"events:0|", "events:26|", "events:26|2992 Mhz", "network:" + kGathering}));
    EXPECT_EQ(r.b.lblStatus.get(), kGathered);
}

TEST(Gather, EmptiesTheTenVisibleBoxesButNotTheHiddenOnes)
{
    GatherRun r;
    r.platform = describedPlatform({{"registry", QJsonObject{{regpath::kBuildLab, "xp"}}}});
    r.host.networkSection = nullptr;
    const QList<TextSlot*> boxes = {&r.b.txtOutput,   &r.b.txtIP,    &r.b.txtTotal, &r.b.txtOSSerial, &r.b.txtVersion,
                                    &r.b.txtMemory,   &r.b.txtCPU,   &r.b.txtCPUSpeed, &r.b.txtNETIP, &r.b.txtINTIP,
                                    &r.b.txtMask,     &r.b.txtMac};
    QString held;
    for (TextSlot* box : boxes)
        box->set(QStringLiteral("old"));
    runGather(r.host);
    for (TextSlot* box : boxes)
        held += box->get() + '|';
    EXPECT_EQ(held, "old|old|old|" + QString("|").repeated(9));
}

TEST(Gather, TheGateReadsTheBoxNotTheProbe)
{
    // Without a registry the probe says "Not XP!"; an event handled after it
    // rewrites the box, and the run goes on through failing steps.
    GatherRun r;
    r.platform = describedPlatform({});
    r.events.round = [&] { r.b.txtOS.set(QStringLiteral("typed")); };
    r.host.networkSection = [](const BoxFailed&) { throw StepFailed("network"); };
    runGather(r.host);
    EXPECT_EQ(r.log, QStringList());
    EXPECT_EQ(r.b.lblStatus.get(), kGatheredWithErrors);

    // A Linux host passes whatever its system calls itself.
    GatherRun host;
    host.platform.hostIdentity = HostIdentity{QStringLiteral("Not XP!"), QStringLiteral("1"), QStringLiteral("2")};
    EXPECT_FALSE(runGather(host.host).notXp);
    EXPECT_EQ(host.b.txtOS.get() + host.b.lblStatus.get(), "Not XP!" + kGathered);
}

const QByteArray kLanOutput = "Windows IP Configuration\r\n\r\nEthernet adapter Local Area Connection:\r\n\r\n"
                              "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
                              "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
                              "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n";

// The whole run in the real window on the described XP machine, changed by
// `change`, with "ipconfig /all" writing `output`.
std::pair<GatherOutcome, QString> gatherOn(const QJsonObject& change, const QByteArray& output = kLanOutput,
                                           int chunk = 256, const QString& page = kPublicAddressPage)
{
    TestWindow t(withOutput(machinePlatform("xp-sp3.json", change), output, chunk));
    t.w.setSettings({page});
    GatherOutcome outcome = t.gather();
    EXPECT_EQ(t.messages, outcome.notXp ? QStringList{kNotXpMessage} : QStringList());
    // A failed fact shows nothing, never an earlier run's value; only the
    // memory box keeps the modules that could be read, and the clock box the
    // clock of a processor before the one that failed.
    for (const FactFailure& failure : outcome.failures) {
        if (failure.fact == Fact::MemoryChips || failure.fact == Fact::ClockedSpeed)
            continue;
        EXPECT_EQ(factInfo(failure.fact).box(t.boxes()).get(), QString()) << factInfo(failure.fact).caption;
    }
    return {outcome, t.boxes().lblStatus.get()};
}

// A management service of these instances, whose enabled adapters list no
// masks, and the page when one is given.
QJsonObject management(const QJsonArray& systems, const QJsonArray& chips, const QJsonArray& processors,
                       const QJsonValue& page = QJsonValue::Undefined)
{
    QJsonObject change = {{"management", QJsonObject{{"Win32_OperatingSystem", systems}, {"Win32_PhysicalMemory", chips},
                                                     {"Win32_Processor", processors},
                                                     {"Win32_NetworkAdapterConfiguration", QJsonArray{}}}}};
    if (!page.isUndefined())
        change.insert(QStringLiteral("publicPage"), page);
    return change;
}

const QJsonObject kSystem = {{"Version", "5.1"}, {"SerialNumber", "1"}}, kChip = {{"Capacity", 1}},
                  kClock = {{"CurrentClockSpeed", 1}};

TEST(Gather, TheStatusLineSaysWhetherEveryFactWasGatheredAndTheOutcomeWhichWereNot)
{
    using F = Fact;
    const QJsonObject xpRegistryOnly = {{"management", QJsonValue::Null}, {"localAddress", QJsonValue::Null},
                                        {"publicPage", QJsonValue::Null}};
    // What changes on the XP machine (whose whole run, and its refusal of
    // other versions, the window's end-to-end test shows), what "ipconfig
    // /all" writes in pieces of `chunk` bytes; then the status line and the
    // failed facts.
    const std::tuple<const char*, QJsonObject, QByteArray, int, QString, QList<Fact>> cases[] = {
        {"nothing to show is no failure", management({kSystem}, {kChip}, {kClock}), "Windows IP Configuration\r\n", 256,
         kGathered, {}},
        {"services fail", xpRegistryOnly, "", -1, kGatheredWithErrors,
         {F::SerialNumber, F::OsVersion, F::MemoryChips, F::ClockedSpeed, F::NetworkAddress, F::InternetAddress,
          F::SubnetMask, F::MacAddress}},
        {"empty lists and no address on the page", management({QJsonObject{}}, {}, {kClock}, "displaycopy() but no address"),
         QByteArray(kLanOutput).replace("Physical", "Hardware"), 256, kGatheredWithErrors,
         {F::SerialNumber, F::OsVersion, F::MemoryChips, F::InternetAddress, F::MacAddress}},
        // Each instance overwrites the last one's version, serial and clock:
        // only the last one failing leaves a box short.
        {"an earlier instance unread, the last one read", management({QJsonObject{}, kSystem}, {kChip}, {QJsonObject{}, kClock}),
         kLanOutput, 256, kGathered, {}},
        {"one module unread among others, the last processor unread",
         management({kSystem}, {kChip, QJsonObject{{"Capacity", QJsonArray{"1"}}}}, {kClock, QJsonObject{}}), kLanOutput, 256,
         kGatheredWithErrors, {F::MemoryChips, F::ClockedSpeed}},
    };
    for (const auto& [name, change, output, chunk, status, failed] : cases) {
        SCOPED_TRACE(name);
        const auto [outcome, shown] = gatherOn(change, output, chunk);
        EXPECT_EQ(shown, status);
        QList<Fact> facts;
        for (const FactFailure& f : outcome.failures)
            facts << f.fact;
        EXPECT_EQ(facts, failed);
    }
    // Each line of the list: the fact's caption, then why; no page chosen is a failure.
    const auto [outcome, status] =
        gatherOn(management({kSystem}, {kChip, QJsonObject{{"Capacity", "x"}}}, {kClock}), "", -1, QString());
    EXPECT_EQ(failureList(outcome), "Memory Chips: the size of module 2 could not be read (type mismatch)\n"
                                    "Internet Address: no public-address page is set\n"
                                    "Mac Address: ipconfig /all could not be run (CreateProcess failed)");
}

} // namespace

#include "app/gather.h"
#include "base/step_failed.h"
#include "platform/registry.h"
#include "support/machine.h"

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

// Logs what the boxes hold each time the window gets to handle its events.
struct GatherRun {
    PlainBoxes b;
    Platform platform = machinePlatform("xp-sp3.json");
    QStringList log;
    GatherHost host{b.boxes, platform,
                    [this] { log << QStringLiteral("events:%1|%2").arg(b.txtMemory.get().size()).arg(b.txtCPUSpeed.get()); },
                    [this](const QString& m) { log << m; }, [this] { log << "network:" + b.lblStatus.get(); }};
};

TEST(Gather, ProbesInOrderWithEventsBetweenThemThenTheNetwork)
{
    GatherRun r;
    RunGather(r.host);
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
    RunGather(r.host);
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
    r.host.processEvents = [&] { r.b.txtOS.set(QStringLiteral("typed")); };
    r.host.networkSection = [] { throw StepFailed("network"); };
    RunGather(r.host);
    EXPECT_EQ(r.log, QStringList());
    EXPECT_EQ(r.b.lblStatus.get(), kGathered);
}

TEST(Gather, ANestedRunEndsBeforeTheOuterRunResumes)
{
    GatherRun r;
    int depth = 0;
    r.host.processEvents = [&] {
        if (depth++ == 0 && r.log.isEmpty()) { // a click handled at the first event point
            RunGather(r.host);
            r.log << "nested done:" + r.b.lblStatus.get();
        }
        --depth;
    };
    r.host.networkSection = [&] { r.log << QStringLiteral("network at depth %1").arg(depth); };
    RunGather(r.host);
    EXPECT_EQ(r.log, (QStringList{"network at depth 1", "nested done:" + kGathered, "network at depth 0"}));
    // The outer memory probe appends to the nested run's lines.
    EXPECT_EQ(r.b.txtMemory.get(), QString("512 MB Chip\r\n").repeated(4));
}

} // namespace

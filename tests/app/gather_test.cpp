#include "app/gather.h"
#include "platform/registry.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;
using qni::test::PlainBoxes;

namespace {

struct Recorder {
    PlainBoxes b;
    FakePlatform f = FakePlatform::windowsXp();
    Platform platform = f.platform();
    QStringList log;
    QStringList messages;
    GatherHost host{b.boxes, platform, [this] { log << QStringLiteral("events:") + b.txtOS.get(); },
                    [this](const QString& m) { messages << m; },
                    [this](const BoxFailed&) { log << QStringLiteral("network:") + b.lblStatus.get(); }};
};

} // namespace

TEST(Gather, RunsTheProbesInOrderWithEventsBetweenThem)
{
    Recorder r;
    runGather(r.host);
    EXPECT_EQ(r.log, (QStringList{QStringLiteral("events:Windows Xp Service Pack 3 Build 2600"),
                                  QStringLiteral("events:Windows Xp Service Pack 3 Build 2600"),
                                  QStringLiteral("events:Windows Xp Service Pack 3 Build 2600"),
                                  QStringLiteral("network:Gathering Information Be Patient..")}));
    EXPECT_EQ(r.f.management->asked,
              (QStringList{QStringLiteral("Win32_OperatingSystem"), QStringLiteral("Win32_PhysicalMemory"),
                           QStringLiteral("Win32_Processor")}));
    EXPECT_EQ(r.b.txtMemory.get(), QStringLiteral("512 MB Chip\r\n"));
    EXPECT_EQ(r.b.txtCPUSpeed.get(), QStringLiteral("2992 Mhz"));
    EXPECT_EQ(r.b.txtVersion.get(), QStringLiteral("5.1.2600"));
    EXPECT_EQ(r.b.txtOSSerial.get(), QStringLiteral("76487-OEM-0011903-00102"));
    EXPECT_EQ(r.b.lblStatus.get(), QStringLiteral("Information Gathered Successfully!"));
    EXPECT_TRUE(r.messages.isEmpty());
}

TEST(Gather, ClearsTheTenVisibleBoxesButNotTheHiddenOnes)
{
    Recorder r;
    r.f.management->reachable = false;
    r.f.registry->values.remove(regpath::kProcessorNameString);
    for (TextSlot* box : {&r.b.txtOSSerial, &r.b.txtVersion, &r.b.txtMemory, &r.b.txtCPU, &r.b.txtCPUSpeed,
                          &r.b.txtNETIP, &r.b.txtINTIP, &r.b.txtMask, &r.b.txtMac, &r.b.txtOutput, &r.b.txtIP,
                          &r.b.txtTotal})
        box->set(QStringLiteral("old"));
    r.host.networkSection = nullptr;
    runGather(r.host);
    for (TextSlot* box : {&r.b.txtOSSerial, &r.b.txtVersion, &r.b.txtMemory, &r.b.txtCPU, &r.b.txtCPUSpeed,
                          &r.b.txtNETIP, &r.b.txtINTIP, &r.b.txtMask, &r.b.txtMac})
        EXPECT_EQ(box->get(), QString());
    for (TextSlot* box : {&r.b.txtOutput, &r.b.txtIP, &r.b.txtTotal})
        EXPECT_EQ(box->get(), QStringLiteral("old"));
}

TEST(Gather, NotXpShowsTheMessageOnceAndStops)
{
    Recorder r;
    r.f.registry->values[regpath::kBuildLab] = Variant::text(QStringLiteral("7601.win7sp1_rtm"));
    r.b.txtMemory.set(QStringLiteral("old"));
    runGather(r.host);
    EXPECT_EQ(r.messages, QStringList{QStringLiteral("This is not a version of Windows XP!")});
    EXPECT_EQ(r.b.txtOS.get(), QStringLiteral("Not XP!"));
    EXPECT_EQ(r.b.txtMemory.get(), QString());
    EXPECT_EQ(r.b.lblStatus.get(), QStringLiteral("This is not a version of Windows XP!"));
    EXPECT_EQ(r.log, QStringList{QStringLiteral("events:Not XP!")}); // no network, no further events
}

TEST(Gather, EverythingFailingEndsWithErrors)
{
    Recorder r;
    r.f.management->reachable = false;
    r.f.registry->available = false;
    r.platform = r.f.platform();
    // Without a registry the gate says "Not XP!"; here an event handler
    // rewrites the box, so the run goes on through failing steps.
    r.host.processEvents = [&] { r.b.txtOS.set(QStringLiteral("user typed")); };
    r.host.networkSection = [](const BoxFailed&) { throw StepFailed("network"); };
    runGather(r.host);
    EXPECT_EQ(r.b.lblStatus.get(), QStringLiteral("Information Gathered With Errors!"));
    EXPECT_TRUE(r.messages.isEmpty());
}

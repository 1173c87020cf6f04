#include "platform/registry.h"
#include "probes/get.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;
using qni::test::object;
using qni::test::PlainBoxes;

namespace {

struct OsCase {
    const char* name;
    std::optional<QString> buildLab;
    std::optional<QString> csd;
    std::optional<QString> build;
    QString expected;
};

} // namespace

class OsLine : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsLine, BuildsTheLineOrRefuses)
{
    const OsCase& c = GetParam();
    FakePlatform f = FakePlatform::windowsXp();
    f.registry->values.clear();
    if (c.buildLab) f.registry->values[regpath::kBuildLab] = Variant::text(*c.buildLab);
    if (c.csd) f.registry->values[regpath::kCsdVersion] = Variant::text(*c.csd);
    if (c.build) f.registry->values[regpath::kCurrentBuildNumber] = Variant::text(*c.build);
    PlainBoxes b;
    GetOSInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtOS.get(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, OsLine, ::testing::Values(
    OsCase{"sp3", QStringLiteral("2600.xpsp.080413-2111"), QStringLiteral("Service Pack 3"), QStringLiteral("2600"),
           QStringLiteral("Windows Xp Service Pack 3 Build 2600")},
    OsCase{"noServicePack", QStringLiteral("2600.xpclient.010817-1148"), QString(), QStringLiteral("2600"),
           QStringLiteral("Windows Xp Build 2600")},
    OsCase{"csdMissing", QStringLiteral("xp"), std::nullopt, QStringLiteral("2600"),
           QStringLiteral("Windows Xp Build 2600")},
    OsCase{"buildMissing", QStringLiteral("xp"), QStringLiteral("Service Pack 2"), std::nullopt,
           QStringLiteral("Windows Xp Service Pack 2 Build ")},
    OsCase{"xpInsideAWord", QStringLiteral("abcxpdef"), std::nullopt, QStringLiteral("1"),
           QStringLiteral("Windows Xp Build 1")},
    OsCase{"upperCaseOnly", QStringLiteral("2600.XPSP.080413"), QStringLiteral("Service Pack 3"),
           QStringLiteral("2600"), QStringLiteral("Not XP!")},
    OsCase{"vista", QStringLiteral("6000.16386.x86fre.vista_rtm.061101-2205"), QString(), QStringLiteral("6000"),
           QStringLiteral("Not XP!")},
    OsCase{"noBuildLab", std::nullopt, QStringLiteral("Service Pack 3"), QStringLiteral("2600"),
           QStringLiteral("Not XP!")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetOSInfo, NotXpReadsNothingFurtherAndLeavesTheOtherBoxes)
{
    FakePlatform f = FakePlatform::windowsXp();
    f.registry->values[regpath::kBuildLab] = Variant::text(QStringLiteral("7600.win7_rtm"));
    PlainBoxes b;
    GetOSInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtOS.get(), QStringLiteral("Not XP!"));
    EXPECT_EQ(f.registry->read, QStringList{regpath::kBuildLab});
    // The collection was asked for before the test, but never enumerated.
    EXPECT_EQ(f.management->asked, QStringList{QStringLiteral("Win32_OperatingSystem")});
    EXPECT_TRUE(b.txtVersion.get().isEmpty());
    EXPECT_TRUE(b.txtOSSerial.get().isEmpty());
}

TEST(GetOSInfo, TheBoxDecidesNotTheSearch)
{
    // The workflow empties txtOS first; a box that already reads "Windows Xp"
    // passes the test even when the build label does not hold "xp".
    FakePlatform f = FakePlatform::windowsXp();
    f.registry->values[regpath::kBuildLab] = Variant::text(QStringLiteral("6000.vista"));
    PlainBoxes b;
    b.txtOS.set(QStringLiteral("Windows Xp"));
    GetOSInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtOS.get(), QStringLiteral("Windows Xp Service Pack 3 Build 2600"));
}

TEST(GetOSInfo, LastInstanceWinsAndNullLosesOnlyItsOwnAssignment)
{
    FakePlatform f = FakePlatform::windowsXp();
    f.management->classes[QStringLiteral("Win32_OperatingSystem")] = {
        object({{QStringLiteral("Version"), Variant::text(QStringLiteral("1"))},
                {QStringLiteral("SerialNumber"), Variant::text(QStringLiteral("S1"))}}),
        object({{QStringLiteral("version"), Variant::null()},
                {QStringLiteral("serialnumber"), Variant::text(QStringLiteral("S2"))}}),
    };
    PlainBoxes b;
    GetOSInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtVersion.get(), QStringLiteral("1"));
    EXPECT_EQ(b.txtOSSerial.get(), QStringLiteral("S2"));
}

TEST(GetOSInfo, ServiceUnreachableKeepsVersionBoxesButStillWritesTheLine)
{
    FakePlatform f = FakePlatform::windowsXp();
    f.management->reachable = false;
    PlainBoxes b;
    b.txtVersion.set(QStringLiteral("kept"));
    GetOSInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtVersion.get(), QStringLiteral("kept"));
    EXPECT_EQ(b.txtOS.get(), QStringLiteral("Windows Xp Service Pack 3 Build 2600"));
}

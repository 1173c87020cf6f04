#include "platform/registry.h"
#include "probes/get.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;
using qni::test::object;
using qni::test::PlainBoxes;

namespace {

ManagementObject chip(Variant capacity) { return object({{QStringLiteral("Capacity"), capacity}}); }
const QString kMemory = QStringLiteral("Win32_PhysicalMemory");
const QString kProcessor = QStringLiteral("Win32_Processor");

} // namespace

TEST(GetMemoryInfo, OneLinePerChip)
{
    struct Case {
        ManagementCollection chips;
        QString memory;
        QString total;
    } cases[] = {
        {{chip(Variant::text(QStringLiteral("536870912"))), chip(Variant::text(QStringLiteral("536870912")))},
         QStringLiteral("512 MB Chip\r\n512 MB Chip\r\n"), QStringLiteral("536870912")},
        {{chip(Variant::text(QStringLiteral("1000000000")))}, QStringLiteral("953.67431640625 MB Chip\r\n"),
         QStringLiteral("1000000000")},
        {{chip(Variant::number(1073741824))}, QStringLiteral("1024 MB Chip\r\n"), QStringLiteral("1073741824")},
        // Unreadable or unconvertible capacities get no line; the others keep theirs.
        {{chip(Variant::null()), chip(Variant::text(QStringLiteral("268435456")))}, QStringLiteral("256 MB Chip\r\n"),
         QStringLiteral("268435456")},
        {{chip(Variant::text(QStringLiteral("536870912"))), chip(Variant::text(QStringLiteral("unknown")))},
         QStringLiteral("512 MB Chip\r\n"), QStringLiteral("unknown")},
        {{object({})}, QString(), QStringLiteral("before")},
        {{}, QString(), QStringLiteral("before")},
    };
    for (const auto& c : cases) {
        FakePlatform f;
        f.management->classes[kMemory] = c.chips;
        PlainBoxes b;
        b.txtTotal.set(QStringLiteral("before"));
        GetMemoryInfo(b.boxes, f.platform());
        EXPECT_EQ(b.txtMemory.get(), c.memory);
        EXPECT_EQ(b.txtTotal.get(), c.total);
    }
}

TEST(GetMemoryInfo, FailedQueryAddsNoLine)
{
    FakePlatform f;
    f.management->reachable = false;
    PlainBoxes b;
    GetMemoryInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtMemory.get(), QString());
}

TEST(GetMemoryInfo, UsesTheUsersDecimalSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FakePlatform f;
    f.management->classes[kMemory] = {chip(Variant::text(QStringLiteral("1000000000")))};
    PlainBoxes b;
    GetMemoryInfo(b.boxes, f.platform());
    QLocale::setDefault(saved);
    EXPECT_EQ(b.txtMemory.get(), QStringLiteral("953,67431640625 MB Chip\r\n"));
}

TEST(GetCPUInfo, LastSpeedWinsAndTheNameIsKeptAsStored)
{
    FakePlatform f = FakePlatform::windowsXp();
    f.management->classes[kProcessor] = {
        object({{QStringLiteral("CurrentClockSpeed"), Variant::number(1000)}}),
        object({{QStringLiteral("CurrentClockSpeed"), Variant::number(2992)}}),
    };
    PlainBoxes b;
    GetCPUInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtCPUSpeed.get(), QStringLiteral("2992 Mhz"));
    EXPECT_EQ(b.txtCPU.get(), QStringLiteral("      Intel(R) Pentium(R) 4 CPU 3.00GHz"));
    EXPECT_EQ(f.registry->read.count(regpath::kProcessorNameString), 1);
}

TEST(GetCPUInfo, FailureRules)
{
    FakePlatform f;
    PlainBoxes b;
    f.management->classes[kProcessor] = {object({{QStringLiteral("CurrentClockSpeed"), Variant::null()}})};
    GetCPUInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtCPUSpeed.get(), QStringLiteral(" Mhz")); // null joins as empty
    EXPECT_EQ(b.txtCPU.get(), QString());                   // name missing

    f.management->reachable = false;
    b.txtCPUSpeed.set(QString());
    f.registry->values[regpath::kProcessorNameString] = Variant::text(QStringLiteral("Name"));
    GetCPUInfo(b.boxes, f.platform());
    EXPECT_EQ(b.txtCPUSpeed.get(), QString());
    EXPECT_EQ(b.txtCPU.get(), QStringLiteral("Name"));
}

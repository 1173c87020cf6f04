#include "platform/host/cpu_facts.h"

#include "host_test_support.h"

#include <QTemporaryDir>

#include <random>

using namespace qni;

namespace {

const QString kXeon = QStringLiteral("      Intel(R) Xeon(TM) CPU 3.00GHz");

struct LayoutCase {
    const char* sample;
    std::optional<QString> name;
    std::optional<QString> fallbackName;
    size_t packages;
    std::optional<double> firstMhz;
};

TEST(HostCpuInfo, Layouts)
{
    const LayoutCase cases[] = {
        {"x86-server/proc/cpuinfo", kXeon, QStringLiteral("GenuineIntel"), 2, 2992.505},
        {"cpuinfo/aarch64-neoverse", QStringLiteral("ARM Neoverse-N1"), std::nullopt, 1, std::nullopt},
        {"cpuinfo/aarch64-unlisted-core", std::nullopt, QStringLiteral("Apple processor (part 0x022)"), 1, std::nullopt},
        {"cpuinfo/arm32-old", QStringLiteral("ARM Cortex-A53"), QStringLiteral("BCM2835"), 1, std::nullopt},
        {"cpuinfo/ppc64", QStringLiteral("POWER9 (architected), altivec supported"), std::nullopt, 1, 2200},
        {"cpuinfo/s390x", std::nullopt, QStringLiteral("IBM/S390"), 1, 5208},
        {"cpuinfo/riscv64", QStringLiteral("sifive,u74-mc"), QStringLiteral("rv64imafdc_zicntr_zicsr_zifencei_zihpm_zba_zbb"), 1, std::nullopt},
        {"cpuinfo/mips", QStringLiteral("MIPS 1004Kc V2.15"), std::nullopt, 1, std::nullopt},
        {"cpuinfo/loongarch64", QStringLiteral("Loongson-3A5000"), std::nullopt, 1, 2500},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.sample);
        const CpuInfo info = parseCpuInfo(readSample(QString::fromLatin1(c.sample)));
        EXPECT_EQ(info.name, c.name);
        EXPECT_EQ(info.fallbackName, c.fallbackName);
        ASSERT_EQ(info.packages.size(), c.packages);
        EXPECT_EQ(info.packages.front().mhz, c.firstMhz);
    }
}

TEST(HostCpuInfo, OnlyTheSeparatorIsRemovedFromValues)
{
    const auto blocks = parseCpuInfoBlocks("model name\t:   spaced  \ncpu MHz\t\t:\nflags:x\n\n\n\nprocessor : 1\n");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0], (CpuInfoBlock{{"model name", "  spaced  "}, {"cpu MHz", ""}, {"flags", "x"}}));
    EXPECT_EQ(blocks[1], (CpuInfoBlock{{"processor", "1"}}));
}

TEST(HostCpuInfo, GarbageNeverFails)
{
    static const char alphabet[] = "processor\t: 0123\nmodel name cpu MHz physical id\xff";
    std::mt19937 random(5);
    for (int i = 0; i < 500; ++i) {
        QByteArray bytes(int(random() % 400), '\0');
        for (char& c : bytes)
            c = alphabet[random() % sizeof alphabet]; // the NUL included
        EXPECT_FALSE(parseCpuInfo(bytes).packages.empty());
    }
    EXPECT_EQ(parseCpuInfo("processor : 99999999999999999999\ncpu MHz : nan\n").packages.front().mhz, std::nullopt);
}

TEST(HostProcessors, CpufreqBeforeCpuinfoRounded)
{
    const auto processors = readProcessors(hostSample(QStringLiteral("x86-server")));
    ASSERT_EQ(processors.size(), 2u);
    EXPECT_EQ(processors[0].clockMhz, 2993); // cpu MHz 2992.505, no cpufreq for cpu0
    EXPECT_EQ(processors[1].clockMhz, 1800); // cpu1's scaling_cur_freq
    EXPECT_EQ(processors[0].name, kXeon);
    EXPECT_EQ(processors[1].name, kXeon);
}

TEST(HostProcessorName, DeviceTreeModelBeforeFallback)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    EXPECT_EQ(readProcessorName(root), std::nullopt);
    EXPECT_EQ(readProcessors(root).size(), 1u); // a machine has a processor even when /proc says nothing

    writeFile(root, "proc/cpuinfo", readSample(QStringLiteral("cpuinfo/aarch64-unlisted-core")));
    EXPECT_EQ(readProcessorName(root), QStringLiteral("Apple processor (part 0x022)"));
    writeFile(root, "sys/firmware/devicetree/base/model", QByteArray("Apple MacBook Air (M1, 2020)\0", 29));
    EXPECT_EQ(readProcessorName(root), QStringLiteral("Apple MacBook Air (M1, 2020)"));
    const auto processors = readProcessors(root);
    ASSERT_EQ(processors.size(), 1u);
    EXPECT_EQ(processors[0].name, QStringLiteral("Apple MacBook Air (M1, 2020)"));
    EXPECT_EQ(processors[0].clockMhz, std::nullopt);

    writeFile(root, "proc/cpuinfo", readSample(QStringLiteral("x86-server/proc/cpuinfo")));
    EXPECT_EQ(readProcessorName(root), kXeon);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "host/facts/cpu.h"

#include "host_samples.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace qni;

namespace {

const QString kXeon = QStringLiteral("      Intel(R) Xeon(TM) CPU 3.00GHz");

TEST(HostCpuInfo, TheKernelsLayouts)
{
    using Name = std::optional<QString>;
    const std::tuple<const char*, Name, Name, size_t, std::optional<double>> cases[] = {
        {"x86-server/proc/cpuinfo", kXeon, "GenuineIntel", 2, 2992.505},
        {"cpuinfo/aarch64-neoverse", "ARM Neoverse-N1", std::nullopt, 1, std::nullopt},
        {"cpuinfo/aarch64-unlisted-core", std::nullopt, "Apple processor (part 0x022)", 1, std::nullopt},
        {"cpuinfo/arm32-old", "ARM Cortex-A53", "BCM2835", 1, std::nullopt},
        {"cpuinfo/ppc64", "POWER9 (architected), altivec supported", std::nullopt, 1, 2200},
        {"cpuinfo/s390x", std::nullopt, "IBM/S390", 1, 5208},
        {"cpuinfo/riscv64", "sifive,u74-mc", "rv64imafdc_zicntr_zicsr_zifencei_zihpm_zba_zbb", 1, std::nullopt},
        {"cpuinfo/mips", "MIPS 1004Kc V2.15", std::nullopt, 1, std::nullopt},
        {"cpuinfo/loongarch64", "Loongson-3A5000", std::nullopt, 1, 2500},
    };
    for (const auto& [sample, name, fallbackName, packages, firstMhz] : cases) {
        SCOPED_TRACE(sample);
        const CpuInfo info = parseCpuInfo(readSample(QString::fromLatin1(sample)));
        EXPECT_EQ(info.name, name);
        EXPECT_EQ(info.fallbackName, fallbackName);
        ASSERT_EQ(info.packages.size(), packages);
        EXPECT_EQ(info.packages.front().mhz, firstMhz);
    }
    // Only the blank after the colon is the kernel's.
    EXPECT_EQ(parseCpuInfoBlocks("model name\t:   spaced  \ncpu MHz\t\t:\n\n\nprocessor : 1\n"),
              (std::vector<CpuInfoBlock>{CpuInfoBlock{{"model name", "  spaced  "}, {"cpu MHz", ""}}, CpuInfoBlock{{"processor", "1"}}}));
}

TEST(HostCpuInfo, ManyBlocksInLinearTime)
{
    // Every CPU its own package and nameless, so each looks through the
    // blocks that belong to no CPU; the first of those that names it wins.
    QByteArray text;
    for (int i = 0; i < 10000; ++i) {
        text += "processor\t: " + QByteArray::number(i) + "\nphysical id\t: " + QByteArray::number(i) + "\n\n";
        text += "Hardware\t: board " + QByteArray::number(i) + "\nmodel name\t: shared " + QByteArray::number(i) + "\n\n";
    }
    QElapsedTimer timer;
    timer.start();
    const CpuInfo info = parseCpuInfo(text);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(info.packages.size(), 10000u);
    EXPECT_EQ(info.packages.back().name, "shared 0");
    EXPECT_EQ(info.fallbackName, "board 0");
}

TEST(HostProcessors, OnePerPackageClockedByCpufreqElseCpuinfoRounded)
{
    const auto processors = readProcessors(hostSample(QStringLiteral("x86-server")));
    ASSERT_EQ(processors.size(), 2u);
    EXPECT_EQ(processors[0].clockMhz, 2993); // cpu MHz 2992.505; no cpufreq for cpu0
    EXPECT_EQ(processors[1].clockMhz, 1800); // cpu1's scaling_cur_freq
    EXPECT_EQ(processors[1].name, kXeon);

    QTemporaryDir dir; // a machine has a processor even when /proc says nothing
    const QString root = dir.path();
    EXPECT_EQ(readProcessors(root).size(), 1u);
    EXPECT_EQ(readProcessorName(root), std::nullopt);
    writeFile(root, "proc/cpuinfo", readSample(QStringLiteral("cpuinfo/aarch64-unlisted-core")));
    EXPECT_EQ(readProcessorName(root), "Apple processor (part 0x022)");
    writeFile(root, "sys/firmware/devicetree/base/model", QByteArray("Apple MacBook Air (M1, 2020)\0", 29));
    EXPECT_EQ(readProcessorName(root), "Apple MacBook Air (M1, 2020)");
    EXPECT_EQ(readProcessors(root).front().name, "Apple MacBook Air (M1, 2020)");
}

} // namespace

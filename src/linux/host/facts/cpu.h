// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

namespace qni {

// One processor package as the processor class presents it.
struct CpuPackage {
    int firstCpu = 0;              // its first logical CPU (the cpufreq folder's number)
    std::optional<QString> name;   // that CPU's name, exactly as the kernel wrote it
    std::optional<double> mhz;     // that CPU's clock as /proc/cpuinfo states it
};

// What /proc/cpuinfo says about the processors, for any of the layouts the
// kernel writes (x86, ARM, POWER, s390, RISC-V, MIPS, LoongArch, SPARC).
struct CpuInfo {
    // Processor 0's name, unchanged (leading and trailing blanks kept), from
    // the first field that names the processor itself.
    std::optional<QString> name;
    // A board or instruction-set line, for when nothing names the processor.
    std::optional<QString> fallbackName;
    // One per distinct "physical id", in the order of their first CPU; one
    // package for all CPUs when the layout has no package ids.
    std::vector<CpuPackage> packages;
};

// The "key<tabs>: value" blocks of a /proc/cpuinfo text. The value is what
// follows ": ", untrimmed.
using CpuInfoBlock = QList<QPair<QString, QString>>;
std::vector<CpuInfoBlock> parseCpuInfoBlocks(QByteArrayView cpuinfo);

CpuInfo parseCpuInfo(QByteArrayView cpuinfo);

// Processor 0's name on the host under root: the processor's own name from
// /proc/cpuinfo, else the device tree's model, else the fallback name.
std::optional<QString> readProcessorName(const QString& root);

struct ProcessorFacts {
    std::optional<QString> name;
    std::optional<qint64> clockMhz; // whole megahertz
};

// One entry per package; the clock is cpufreq's current frequency of the
// package's first CPU, else /proc/cpuinfo's, rounded.
std::vector<ProcessorFacts> readProcessors(const QString& root);

} // namespace qni

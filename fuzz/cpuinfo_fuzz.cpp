// SPDX-License-Identifier: MIT
// /proc/cpuinfo in any of the layouts the kernel writes.

#include "fuzz_qt.h"

#include "host/facts/cpu.h"

using namespace qni;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView text = fuzz::qbytes(data, size);

    const std::vector<CpuInfoBlock> blocks = parseCpuInfoBlocks(text);
    QNI_FUZZ_CHECK(qsizetype(blocks.size()) <= text.count('\n') + 1);
    for (const CpuInfoBlock& block : blocks) {
        QNI_FUZZ_CHECK(!block.isEmpty());
        for (const auto& [key, value] : block) {
            QNI_FUZZ_CHECK(!key.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\n')));
            QNI_FUZZ_CHECK(!key.endsWith(QLatin1Char(' ')) && !key.endsWith(QLatin1Char('\t')));
        }
    }

    const CpuInfo info = parseCpuInfo(text);
    // There is always at least the one package the CPUs run on.
    QNI_FUZZ_CHECK(!info.packages.empty());
    QNI_FUZZ_CHECK(info.packages.size() <= std::max<std::size_t>(blocks.size(), 1));
    for (const CpuPackage& p : info.packages) {
        QNI_FUZZ_CHECK(p.firstCpu >= 0 && p.firstCpu <= (1 << 20));
        if (p.mhz)
            QNI_FUZZ_CHECK(*p.mhz > 0 && *p.mhz <= 1e6);
    }
    return 0;
}

// SPDX-License-Identifier: MIT
// udev's property file for /sys/class/dmi/id, and /proc/meminfo's MemTotal
// (the memory fallbacks read the same kind of "key: value" text).

#include "fuzz_qt.h"

#include "host/facts/memory.h"

using namespace qni;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView text = fuzz::qbytes(data, size);

    const std::vector<ModuleSize> modules = parseUdevMemoryDevices(text);
    // At most one module per line, and a known size is never zero.
    QNI_FUZZ_CHECK(qsizetype(modules.size()) <= text.count('\n') + 1);
    for (const ModuleSize& m : modules)
        QNI_FUZZ_CHECK(!m || *m > 0);

    if (const std::optional<quint64> total = parseMemTotal(text))
        QNI_FUZZ_CHECK(*total > 0 && *total % 1024 == 0);
    return 0;
}

// SPDX-License-Identifier: MIT
// The SMBIOS structure walk over a raw table (/sys/firmware/dmi/tables/DMI).

#include "fuzz_qt.h"

#include "host/facts/memory.h"

#include <algorithm>

using namespace qni;

namespace {

constexpr quint64 kMiB = 1024 * 1024;

bool isPrefix(const std::vector<ModuleSize>& part, const std::vector<ModuleSize>& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView table = fuzz::qbytes(data, size);
    const std::vector<ModuleSize> modules = parseSmbiosMemoryDevices(table);

    // Every module needs a header and a string-set terminator of its own.
    QNI_FUZZ_CHECK(modules.size() <= size / 6);
    for (const ModuleSize& m : modules) {
        if (!m)
            continue;
        // Kilobyte granularity at least, and no more than the extended field holds.
        QNI_FUZZ_CHECK(*m > 0 && *m % 1024 == 0 && *m <= quint64(0x7FFFFFFF) * kMiB);
    }

    // Bytes cut off the end can lose whole structures but never change the
    // ones before them.
    if (size > 0) {
        QNI_FUZZ_CHECK(isPrefix(parseSmbiosMemoryDevices(table.first(qsizetype(size) - 1)), modules));
        QNI_FUZZ_CHECK(isPrefix(parseSmbiosMemoryDevices(table.first(qsizetype(size) / 2)), modules));
    }
    return 0;
}

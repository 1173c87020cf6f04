// SPDX-License-Identifier: MIT
#include "host/facts/memory.h"

#include "host_samples.h"

#include <QTemporaryDir>
#include <QtEndian>

using namespace qni;

namespace {

constexpr quint64 MiB = 1024 * 1024;
using Modules = std::vector<ModuleSize>;

// An SMBIOS structure: header, formatted area, string set.
QByteArray structure(quint8 type, const QByteArray& formatted, const QByteArray& strings = {})
{
    QByteArray s;
    s.append(char(type)).append(char(4 + formatted.size())).append("\x34\x12", 2);
    return s + formatted + (strings.isEmpty() ? QByteArray(2, '\0') : strings + '\0');
}

QByteArray memoryDevice(quint16 size, int length = 0x28, quint32 extended = 0)
{
    QByteArray f(length - 4, '\0');
    if (length >= 0x0E)
        qToLittleEndian(size, f.data() + 0x0C - 4);
    if (length >= 0x20)
        qToLittleEndian(extended, f.data() + 0x1C - 4);
    return structure(17, f, QByteArray("DIMM_A1\0BANK 0\0", 15));
}

const QByteArray kEnd = structure(127, {});

TEST(HostSmbios, MemoryDevices)
{
    const QByteArray a = memoryDevice(512);
    const QByteArray b = memoryDevice(1024);
    const std::pair<QByteArray, Modules> cases[] = {
        {memoryDevice(0), {}}, // an empty slot
        {memoryDevice(0xFFFF), {std::nullopt}},
        {a, {512 * MiB}},
        {memoryDevice(0x8000 | 512), {512 * 1024}}, // bit 15: kilobytes
        {memoryDevice(0x7FFF, 0x28, 65536), {65536 * MiB}},
        {memoryDevice(0x7FFF, 0x28, 0x80004000u), {0x4000 * MiB}}, // bit 31 masked
        {memoryDevice(0x7FFF, 0x20, 40960), {40960 * MiB}},
        {memoryDevice(0x7FFF, 0x1F, 40960), {std::nullopt}}, // too short for the extended size
        {memoryDevice(512, 0x0D), {}},                       // too short for a size
        {structure(16, QByteArray(11, '\3'), QByteArray("System board\0", 13)) + a + structure(0, {}) + b, {512 * MiB, 1024 * MiB}},
        {a + kEnd + b, {512 * MiB}},
        {a + QByteArray("\x11\x00\x00\x00\x00\x00", 6) + b, {512 * MiB}}, // a header that cannot be right
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(parseSmbiosMemoryDevices(cases[i].first + kEnd), cases[i].second) << "case " << i;
    // A table cut off inside a structure gives the modules of the whole ones before it.
    EXPECT_EQ(parseSmbiosMemoryDevices(a + b.chopped(3)), Modules{512 * MiB});
}

TEST(HostMemory, UdevEdacAndMemTotal)
{
    EXPECT_EQ(parseUdevMemoryDevices(readSample(QStringLiteral("x86-server/run/udev/data/+dmi:id"))),
              (Modules{1024 * MiB, 512 * MiB, std::nullopt, 2048 * MiB}));
    EXPECT_EQ(parseUdevMemoryDevices("E:MEMORY_DEVICE_x_SIZE=1\nE:MEMORY_DEVICE_3_PRESENT=0\nE:MEMORY_DEVICE_3_SIZE=1024\n"), Modules{});
    EXPECT_EQ(readEdacModules(hostSample(QStringLiteral("edac"))),
              (Modules{8192 * MiB, 8192 * MiB, 4096 * MiB, 16384 * MiB, 2048 * MiB, 2048 * MiB}));
    EXPECT_EQ(parseMemTotal("MemFree:  1 kB\nMemTotal:  2048 kB"), 2 * MiB);
}

// Takes the best source away one by one: each time the next one answers.
TEST(HostMemory, SourcesFallThroughInOrder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    writeFile(root, "sys/firmware/dmi/tables/DMI", memoryDevice(512) + kEnd);
    writeFile(root, "run/udev/data/+dmi:id", "E:MEMORY_DEVICE_0_SIZE=1073741824\n");
    writeFile(root, "sys/devices/system/edac/mc/mc0/dimm0/size", "4096\n");
    for (const auto& [path, text] : {std::pair{"block_size_bytes", "8000000"}, {"memory0/online", "1"}, {"memory1/online", "0"},
                                     {"memory32/online", "1"}})
        writeFile(root, QStringLiteral("sys/devices/system/memory/") + path, text);
    writeFile(root, "proc/meminfo", "MemTotal: 100 kB\n");

    EXPECT_EQ(readMemoryModules(root), Modules{512 * MiB});
    writeFile(root, "sys/firmware/dmi/tables/DMI", memoryDevice(0) + kEnd); // only an empty slot
    EXPECT_EQ(readMemoryModules(root), Modules{1024 * MiB});
    const std::pair<const char*, Modules> removals[] = {{"run/udev", {4096 * MiB}},
                                                        {"sys/devices/system/edac", {2 * 128 * MiB}},
                                                        {"sys/devices/system/memory", {100 * 1024}},
                                                        {"proc", {}}};
    for (const auto& [path, modules] : removals) {
        ASSERT_TRUE(QDir(root + '/' + path).removeRecursively());
        EXPECT_EQ(readMemoryModules(root), modules) << "without " << path;
    }
}

} // namespace

#include "platform/host/memory_facts.h"

#include "host_test_support.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <random>

using namespace qni;

namespace {

constexpr quint64 MiB = 1024 * 1024;
using Modules = std::vector<ModuleSize>;

// An SMBIOS structure: header, formatted area (after the header), string set.
QByteArray structure(quint8 type, const QByteArray& formatted, const QByteArray& strings = {})
{
    QByteArray s;
    s.append(char(type)).append(char(4 + formatted.size())).append("\x34\x12", 2).append(formatted);
    return s + (strings.isEmpty() ? QByteArray(2, '\0') : strings + '\0');
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

struct SizeCase {
    const char* what;
    QByteArray device;
    Modules expected;
};

TEST(HostSmbios, MemoryDeviceSizeRules)
{
    const SizeCase cases[] = {
        {"empty slot", memoryDevice(0), {}},
        {"unknown size", memoryDevice(0xFFFF), {std::nullopt}},
        {"megabytes", memoryDevice(512), {512 * MiB}},
        {"kilobyte bit", memoryDevice(0x8000 | 512), {512 * 1024}},
        {"extended size", memoryDevice(0x7FFF, 0x28, 65536), {65536 * MiB}},
        {"extended size, bit 31 masked", memoryDevice(0x7FFF, 0x28, 0x80004000u), {0x4000 * MiB}},
        {"extended size just fits", memoryDevice(0x7FFF, 0x20, 40960), {40960 * MiB}},
        {"extended size in a structure too short for it", memoryDevice(0x7FFF, 0x1F, 40960), {std::nullopt}},
        {"structure too short for a size", memoryDevice(512, 0x0D), {}},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(parseSmbiosMemoryDevices(c.device + kEnd), c.expected);
    }
}

TEST(HostSmbios, WalkSurvivesDamagedTables)
{
    const QByteArray a = memoryDevice(512);
    const QByteArray b = memoryDevice(1024);
    const SizeCase cases[] = {
        {"other structures and their strings are skipped",
         structure(16, QByteArray(11, '\x03'), QByteArray("System board\0", 13)) + a + structure(0, {}) + b + kEnd,
         {512 * MiB, 1024 * MiB}},
        {"nothing after end of table", a + kEnd + b, {512 * MiB}},
        {"no end-of-table marker", a + b, {512 * MiB, 1024 * MiB}},
        {"zero-length structure", a + QByteArray("\x11\x00\x00\x00\x00\x00", 6) + b, {512 * MiB}},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(parseSmbiosMemoryDevices(c.device), c.expected);
    }
}

// Cut anywhere (inside a header, a formatted area or a string set), a table
// still gives the modules of its whole structures; garbage ends the walk.
TEST(HostSmbios, EveryTruncationYieldsAPrefixAndGarbageEnds)
{
    const QByteArray table = structure(16, QByteArray(11, '\0'), QByteArray("x\0", 2)) + memoryDevice(256)
        + memoryDevice(0xFFFF) + memoryDevice(0x7FFF, 0x28, 8192) + memoryDevice(0) + kEnd;
    const Modules full = parseSmbiosMemoryDevices(table);
    ASSERT_EQ(full, (Modules{256 * MiB, std::nullopt, 8192 * MiB}));
    for (int cut = 0; cut <= table.size(); ++cut) {
        const Modules part = parseSmbiosMemoryDevices(table.left(cut));
        ASSERT_LE(part.size(), full.size()) << cut;
        EXPECT_TRUE(std::equal(part.begin(), part.end(), full.begin())) << cut;
    }
    std::mt19937 random(17);
    for (int i = 0; i < 2000; ++i) {
        QByteArray garbage(int(random() % 300), '\0');
        for (char& c : garbage)
            c = char(random() % 4 == 0 ? 17 : random());
        parseSmbiosMemoryDevices(garbage); // must end, without reading past the bytes
    }
}

TEST(HostMemory, UdevSlotsInNumericOrderWithoutEmptyOnes)
{
    EXPECT_EQ(parseUdevMemoryDevices(readSample(QStringLiteral("x86-server/run/udev/data/+dmi:id"))),
              (Modules{1024 * MiB, 512 * MiB, std::nullopt, 2048 * MiB}));
    EXPECT_EQ(parseUdevMemoryDevices("E:MEMORY_DEVICE_=1\nE:MEMORY_DEVICE_x_SIZE=1\nE:MEMORY_DEVICE_3_PRESENT=0\n"
                                     "E:MEMORY_DEVICE_3_SIZE=1024\nE:MEMORY_DEVICE_99999999999999999999999_SIZE=1"),
              Modules{});
}

TEST(HostMemory, EdacDimmsControllerByController)
{
    EXPECT_EQ(readEdacModules(hostSample(QStringLiteral("edac"))),
              (Modules{8192 * MiB, 8192 * MiB, 4096 * MiB, 16384 * MiB, 2048 * MiB, 2048 * MiB}));
}

TEST(HostMemory, MemTotal)
{
    const std::pair<QByteArray, std::optional<quint64>> cases[] = {
        {"MemTotal:        3981364 kB\nMemFree: 1 kB\n", 3981364ull * 1024},
        {"MemFree:  1 kB\nMemTotal:  2048 kB", 2 * MiB},
        {"MemTotal: many kB\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseMemTotal(text), expected) << text.toStdString();
}

// Takes the best source away one by one: each time the next one answers.
TEST(HostMemory, SourcesFallThroughInOrder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    writeFile(root, "sys/firmware/dmi/tables/DMI", memoryDevice(512) + kEnd);
    writeFile(root, "run/udev/data/+dmi:id", "E:MEMORY_DEVICE_0_SIZE=1073741824\n");
    writeFile(root, "sys/devices/system/edac/mc/mc0/dimm0/size", "4096\n");
    writeFile(root, "sys/devices/system/memory/block_size_bytes", "8000000\n");
    writeFile(root, "sys/devices/system/memory/memory0/online", "1\n");
    writeFile(root, "sys/devices/system/memory/memory1/online", "0\n");
    writeFile(root, "sys/devices/system/memory/memory32/online", "1\n");
    writeFile(root, "proc/meminfo", "MemTotal: 100 kB\n");
    auto remove = [&](const char* path) {
        const QString full = root + '/' + path;
        ASSERT_TRUE(QFileInfo(full).isDir() ? QDir(full).removeRecursively() : QFile::remove(full));
    };

    EXPECT_EQ(readMemoryModules(root), Modules{512 * MiB});
    writeFile(root, "sys/firmware/dmi/tables/DMI", memoryDevice(0) + kEnd); // only empty slots
    EXPECT_EQ(readMemoryModules(root), Modules{1024 * MiB});
    // Modules of unknown size only: not an answer either.
    writeFile(root, "sys/firmware/dmi/tables/DMI", memoryDevice(0xFFFF) + memoryDevice(0x7FFF, 0x1C) + kEnd);
    writeFile(root, "run/udev/data/+dmi:id", "E:MEMORY_DEVICE_0_PRESENT=1\nE:MEMORY_DEVICE_1_SIZE=1073741824\n");
    EXPECT_EQ(readMemoryModules(root), (Modules{std::nullopt, 1024 * MiB}));
    writeFile(root, "run/udev/data/+dmi:id", "E:MEMORY_DEVICE_0_PRESENT=1\n");
    EXPECT_EQ(readMemoryModules(root), Modules{4096 * MiB});
    remove("run/udev");
    EXPECT_EQ(readMemoryModules(root), Modules{4096 * MiB});
    remove("sys/devices/system/edac");
    EXPECT_EQ(readMemoryModules(root), Modules{2 * 128 * MiB});
    remove("sys/devices/system/memory");
    EXPECT_EQ(readMemoryModules(root), Modules{100 * 1024});
    remove("proc/meminfo");
    EXPECT_EQ(readMemoryModules(root), Modules{});
}

} // namespace

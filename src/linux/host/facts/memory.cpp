// SPDX-License-Identifier: MIT
#include "host/facts/memory.h"

#include "host/facts/files.h"

#include <QDir>

#include <algorithm>
#include <map>

namespace qni {

namespace {

constexpr quint64 kKiB = 1024;
constexpr quint64 kMiB = 1024 * 1024;

enum class SlotState { Empty, Unknown, Sized };

struct Slot {
    SlotState state = SlotState::Empty;
    quint64 bytes = 0;
};

Slot sized(quint64 bytes) { return bytes ? Slot{SlotState::Sized, bytes} : Slot{}; }

// The size of one type 17 structure; s points at its header, length is its
// formatted length, already checked to lie inside the table.
Slot memoryDeviceSlot(const unsigned char* s, int length)
{
    if (length < 0x0E) // too short to carry a size at all
        return {};
    const unsigned size = s[0x0C] | (s[0x0D] << 8);
    if (size == 0)
        return {};
    if (size == 0xFFFF)
        return {SlotState::Unknown, 0};
    if (size == 0x7FFF) {
        if (length < 0x20)
            return {SlotState::Unknown, 0};
        const quint32 extended = (quint32(s[0x1C]) | quint32(s[0x1D]) << 8 | quint32(s[0x1E]) << 16
                                  | quint32(s[0x1F]) << 24)
            & 0x7FFFFFFFu;
        return extended ? Slot{SlotState::Sized, extended * kMiB} : Slot{SlotState::Unknown, 0};
    }
    if (size & 0x8000)
        return sized((size & 0x7FFF) * kKiB);
    return sized(size * kMiB);
}

void add(std::vector<ModuleSize>& modules, const Slot& slot)
{
    if (slot.state == SlotState::Sized)
        modules.emplace_back(slot.bytes);
    else if (slot.state == SlotState::Unknown)
        modules.emplace_back(std::nullopt);
}

// Directory entries named <prefix><number>, in numeric order.
QStringList numberedEntries(const QDir& dir, const QString& prefix)
{
    std::vector<std::pair<quint64, QString>> found;
    const QStringList names = dir.entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (const auto n = parseUnsigned(QStringView(name).mid(prefix.size()).toLatin1()))
            found.emplace_back(*n, name);
    }
    std::sort(found.begin(), found.end());
    QStringList ordered;
    for (const auto& entry : found)
        ordered.append(entry.second);
    return ordered;
}

} // namespace

std::vector<ModuleSize> parseSmbiosMemoryDevices(QByteArrayView table)
{
    std::vector<ModuleSize> modules;
    const auto* p = reinterpret_cast<const unsigned char*>(table.data());
    const qsizetype n = table.size();
    qsizetype at = 0;
    while (n - at >= 4) {
        const int type = p[at];
        const int length = p[at + 1];
        if (type == 127) // end of table
            break;
        // A header that cannot be right leaves no way to find the next one.
        if (length < 4 || length > n - at)
            break;
        // The string set follows the formatted area and ends in two NULs
        // (just the two when the structure has no strings).
        qsizetype next = -1;
        for (qsizetype i = at + length; i + 1 < n; ++i) {
            if (p[i] == 0 && p[i + 1] == 0) {
                next = i + 2;
                break;
            }
        }
        if (next < 0) // cut off: not a whole structure
            break;
        if (type == 17)
            add(modules, memoryDeviceSlot(p + at, length));
        at = next;
    }
    return modules;
}

std::vector<ModuleSize> parseUdevMemoryDevices(QByteArrayView udevData)
{
    static constexpr QByteArrayView kPrefix = "E:MEMORY_DEVICE_";
    struct UdevSlot {
        bool absent = false;
        ModuleSize size;
    };
    std::map<quint64, UdevSlot> byNumber;
    LineReader lines(udevData);
    while (const auto next = lines.next()) {
        const QByteArrayView line = *next;
        if (!line.startsWith(kPrefix))
            continue;
        // <n>_<KEY>=<value>
        const QByteArrayView rest = line.sliced(kPrefix.size());
        const qsizetype underscore = rest.indexOf('_');
        const qsizetype equals = rest.indexOf('=');
        if (underscore <= 0 || equals < underscore)
            continue;
        const auto number = parseUnsigned(rest.first(underscore));
        if (!number)
            continue;
        const QByteArrayView key = rest.sliced(underscore + 1, equals - underscore - 1);
        const QByteArrayView value = rest.sliced(equals + 1);
        UdevSlot& slot = byNumber[*number];
        if (key == "SIZE")
            slot.size = parseUnsigned(value);
        else if (key == "PRESENT" && value.trimmed() == "0")
            slot.absent = true;
    }
    // udev writes no SIZE when SMBIOS says the size is unknown, but still
    // lists the slot's other properties: the module is there.
    std::vector<ModuleSize> modules;
    for (const auto& [number, slot] : byNumber) {
        if (slot.absent || (slot.size && *slot.size == 0))
            continue;
        modules.push_back(slot.size);
    }
    return modules;
}

std::vector<ModuleSize> readEdacModules(const QString& root)
{
    std::vector<ModuleSize> modules;
    const QDir edac(underRoot(root, QStringLiteral("/sys/devices/system/edac/mc")));
    for (const QString& mc : numberedEntries(edac, QStringLiteral("mc"))) {
        const QDir controller(edac.filePath(mc));
        QStringList dimms = numberedEntries(controller, QStringLiteral("dimm"));
        if (dimms.isEmpty())
            dimms = numberedEntries(controller, QStringLiteral("rank"));
        for (const QString& dimm : dimms) {
            const auto text = readHostFile(controller.filePath(dimm + QStringLiteral("/size")), kAttributeBytes);
            const auto mb = text ? parseUnsigned(*text) : std::nullopt;
            if (!mb)
                modules.emplace_back(std::nullopt);
            else if (*mb > 0 && *mb <= std::numeric_limits<quint64>::max() / kMiB)
                modules.emplace_back(*mb * kMiB);
        }
    }
    return modules;
}

std::optional<quint64> parseMemTotal(QByteArrayView meminfo)
{
    static constexpr QByteArrayView kKey = "MemTotal:";
    qsizetype at = meminfo.startsWith(kKey) ? 0 : meminfo.indexOf(QByteArrayView("\nMemTotal:"));
    if (at < 0)
        return std::nullopt;
    if (at > 0)
        ++at;
    at += kKey.size();
    qsizetype end = meminfo.indexOf('\n', at);
    QByteArrayView value = meminfo.sliced(at, (end < 0 ? meminfo.size() : end) - at).trimmed();
    // The kernel always writes kB.
    if (value.endsWith(" kB"))
        value.chop(3);
    const auto kb = parseUnsigned(value);
    if (!kb || *kb == 0 || *kb > std::numeric_limits<quint64>::max() / kKiB)
        return std::nullopt;
    return *kb * kKiB;
}

std::optional<quint64> readInstalledMemory(const QString& root)
{
    const QDir blocks(underRoot(root, QStringLiteral("/sys/devices/system/memory")));
    const auto blockText = readHostFile(blocks.filePath(QStringLiteral("block_size_bytes")), kAttributeBytes);
    const auto blockSize = blockText ? parseUnsigned(*blockText, 16) : std::nullopt;
    if (blockSize && *blockSize > 0) {
        quint64 online = 0;
        for (const QString& block : numberedEntries(blocks, QStringLiteral("memory"))) {
            const auto state = readHostFile(blocks.filePath(block + QStringLiteral("/online")), kAttributeBytes);
            if (state && state->trimmed() == "1")
                ++online;
        }
        if (online > 0 && online <= std::numeric_limits<quint64>::max() / *blockSize)
            return online * *blockSize;
    }
    const auto meminfo = readHostFile(underRoot(root, QStringLiteral("/proc/meminfo")), kTableBytes);
    return meminfo ? parseMemTotal(*meminfo) : std::nullopt;
}

std::vector<ModuleSize> readMemoryModules(const QString& root)
{
    // A source that knows of modules but of no module's size is no answer:
    // the next one may know the sizes.
    const auto sized = [](const std::vector<ModuleSize>& modules) {
        return std::any_of(modules.begin(), modules.end(), [](const ModuleSize& m) { return m.has_value(); });
    };
    if (const auto table = readHostFile(underRoot(root, QStringLiteral("/sys/firmware/dmi/tables/DMI")), kTableBytes)) {
        auto modules = parseSmbiosMemoryDevices(*table);
        if (sized(modules))
            return modules;
    }
    if (const auto udev = readHostFile(underRoot(root, QStringLiteral("/run/udev/data/+dmi:id")), kTableBytes)) {
        auto modules = parseUdevMemoryDevices(*udev);
        if (sized(modules))
            return modules;
    }
    if (auto modules = readEdacModules(root); sized(modules))
        return modules;
    if (const auto installed = readInstalledMemory(root))
        return {ModuleSize(*installed)};
    return {};
}

} // namespace qni

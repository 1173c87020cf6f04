// SPDX-License-Identifier: MIT
#include "host/facts/cpu.h"

#include "host/facts/files.h"

#include <QHash>
#include <QSet>

#include <cmath>

namespace qni {

namespace {

using Block = CpuInfoBlock;

std::optional<QString> field(const Block& block, QLatin1String key)
{
    for (const auto& [k, v] : block) {
        if (k == key)
            return v;
    }
    return std::nullopt;
}

// The fields of the blocks that belong to no CPU (older ARM and SPARC kernels
// write shared fields once), the first value of each name. Looked up once per
// CPU, so they are gathered once: scanning the blocks for every CPU costs the
// square of the file's size.
using SharedFields = QHash<QString, QString>;

SharedFields sharedFields(const std::vector<const Block*>& blocks)
{
    SharedFields fields;
    for (const Block* b : blocks) {
        for (const auto& [k, v] : *b) {
            if (!fields.contains(k))
                fields.insert(k, v);
        }
    }
    return fields;
}

// A field of the CPU's own block, else a shared one.
std::optional<QString> field(const Block& own, const SharedFields& shared, QLatin1String key)
{
    if (auto v = field(own, key))
        return v;
    if (const auto it = shared.constFind(key); it != shared.constEnd())
        return *it;
    return std::nullopt;
}

std::optional<int> cpuNumber(const Block& block)
{
    for (const char* key : {"processor", "cpu number"}) { // s390 uses the latter
        if (const auto v = field(block, QLatin1String(key))) {
            const auto n = parseUnsigned(v->toLatin1());
            if (n && *n <= 1u << 20)
                return int(*n);
        }
    }
    return std::nullopt;
}

// "2596.146", and POWER's "3000.000000MHz".
std::optional<double> leadingMhz(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    while (end < t.size() && (t[end].isDigit() || t[end] == u'.'))
        ++end;
    bool ok = false;
    const double mhz = t.left(end).toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || mhz <= 0 || mhz > 1e6)
        return std::nullopt;
    return mhz;
}

std::optional<double> blockMhz(const Block& own, const SharedFields& shared)
{
    for (const char* key : {"cpu MHz", "CPU MHz", "cpu MHz dynamic", "clock"}) {
        if (const auto v = field(own, shared, QLatin1String(key))) {
            if (const auto mhz = leadingMhz(*v))
                return mhz;
        }
    }
    return std::nullopt;
}

struct ArmPart {
    unsigned implementer;
    unsigned part;
    const char* name;
};

// The cores most often met in ARM servers, boards and virtual machines.
constexpr ArmPart kArmParts[] = {
    {0x41, 0xc07, "Cortex-A7"},   {0x41, 0xc09, "Cortex-A9"},   {0x41, 0xc0f, "Cortex-A15"},
    {0x41, 0xd03, "Cortex-A53"},  {0x41, 0xd04, "Cortex-A35"},  {0x41, 0xd05, "Cortex-A55"},
    {0x41, 0xd07, "Cortex-A57"},  {0x41, 0xd08, "Cortex-A72"},  {0x41, 0xd09, "Cortex-A73"},
    {0x41, 0xd0a, "Cortex-A75"},  {0x41, 0xd0b, "Cortex-A76"},  {0x41, 0xd0c, "Neoverse-N1"},
    {0x41, 0xd0d, "Cortex-A77"},  {0x41, 0xd40, "Neoverse-V1"}, {0x41, 0xd41, "Cortex-A78"},
    {0x41, 0xd44, "Cortex-X1"},   {0x41, 0xd46, "Cortex-A510"}, {0x41, 0xd47, "Cortex-A710"},
    {0x41, 0xd48, "Cortex-X2"},   {0x41, 0xd49, "Neoverse-N2"}, {0x41, 0xd4f, "Neoverse-V2"},
    {0x43, 0x0af, "ThunderX2"},   {0x46, 0x001, "A64FX"},       {0x48, 0xd01, "Kunpeng-920"},
    {0xc0, 0xac3, "Ampere-1"},
};

struct ArmImplementer {
    unsigned code;
    const char* name;
};

constexpr ArmImplementer kArmImplementers[] = {
    {0x41, "ARM"},      {0x42, "Broadcom"}, {0x43, "Cavium"}, {0x46, "Fujitsu"},   {0x48, "HiSilicon"},
    {0x4e, "NVIDIA"},   {0x50, "APM"},      {0x51, "Qualcomm"}, {0x53, "Samsung"}, {0x61, "Apple"},
    {0xc0, "Ampere"},
};

struct ArmName {
    std::optional<QString> known;   // implementer and core both known
    std::optional<QString> partial; // only the implementer
};

// ARM kernels name no processor, only its implementer and part numbers.
ArmName armName(const Block& own, const SharedFields& shared)
{
    const auto implementerText = field(own, shared, QLatin1String("CPU implementer"));
    const auto partText = field(own, shared, QLatin1String("CPU part"));
    if (!implementerText || !partText)
        return {};
    const auto implementer = parseUnsigned(implementerText->toLatin1(), 16);
    const auto part = parseUnsigned(partText->toLatin1(), 16);
    if (!implementer || !part)
        return {};
    const char* maker = nullptr;
    for (const auto& i : kArmImplementers) {
        if (i.code == *implementer)
            maker = i.name;
    }
    if (!maker)
        return {};
    for (const auto& p : kArmParts) {
        if (p.implementer == *implementer && p.part == *part)
            return {QStringLiteral("%1 %2").arg(QLatin1String(maker), QLatin1String(p.name)), std::nullopt};
    }
    return {std::nullopt, QStringLiteral("%1 processor (part 0x%2)").arg(QLatin1String(maker)).arg(*part, 3, 16, QLatin1Char('0'))};
}

// The fields that name the processor itself, by layout: x86 and newer ARM,
// LoongArch, MIPS and Alpha, POWER and SPARC, RISC-V.
std::optional<QString> processorName(const Block& own, const SharedFields& shared)
{
    for (const char* key : {"model name", "Model Name", "cpu model", "cpu", "uarch"}) {
        if (auto v = field(own, shared, QLatin1String(key)))
            return v;
    }
    if (const ArmName arm = armName(own, shared); arm.known)
        return arm.known;
    return field(own, shared, QLatin1String("Processor")); // 32-bit ARM before 3.8
}

std::optional<QString> fallbackName(const Block& own, const SharedFields& shared)
{
    if (auto v = field(own, shared, QLatin1String("Hardware")))
        return v;
    if (const ArmName arm = armName(own, shared); arm.partial)
        return arm.partial;
    for (const char* key : {"isa", "vendor_id"}) {
        if (auto v = field(own, shared, QLatin1String(key)))
            return v;
    }
    return std::nullopt;
}

} // namespace

std::vector<CpuInfoBlock> parseCpuInfoBlocks(QByteArrayView cpuinfo)
{
    std::vector<CpuInfoBlock> blocks;
    CpuInfoBlock current;
    LineReader lines(cpuinfo);
    while (const auto next = lines.next()) {
        const QByteArrayView line = *next;
        if (line.trimmed().isEmpty()) {
            if (!current.isEmpty())
                blocks.push_back(std::exchange(current, {}));
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        QByteArrayView key = line.first(colon);
        while (!key.isEmpty() && (key.back() == ' ' || key.back() == '\t'))
            key.chop(1);
        // The kernel writes "key\t: value": only that one blank belongs to
        // the separator; the value's own blanks stay.
        QByteArrayView value = line.sliced(colon + 1);
        if (value.startsWith(' '))
            value = value.sliced(1);
        current.append({QString::fromUtf8(key), QString::fromUtf8(value)});
    }
    if (!current.isEmpty())
        blocks.push_back(std::move(current));
    return blocks;
}

CpuInfo parseCpuInfo(QByteArrayView text)
{
    const std::vector<CpuInfoBlock> blocks = parseCpuInfoBlocks(text);
    struct Cpu {
        int number;
        const Block* block;
    };
    std::vector<Cpu> cpus;
    std::vector<const Block*> sharedBlocks;
    for (const Block& b : blocks) {
        if (const auto n = cpuNumber(b))
            cpus.push_back({*n, &b});
        else
            sharedBlocks.push_back(&b);
    }
    const SharedFields shared = sharedFields(sharedBlocks);

    CpuInfo info;
    const Block none;
    const Block* first = &none;
    for (const Cpu& c : cpus) {
        if (c.number == 0) {
            first = c.block;
            break;
        }
    }
    if (first == &none && !cpus.empty())
        first = cpus.front().block;
    info.name = processorName(*first, shared);
    info.fallbackName = fallbackName(*first, shared);

    if (cpus.empty()) {
        info.packages.push_back({0, info.name, blockMhz(none, shared)});
        return info;
    }
    QSet<QString> packageIds;
    for (const Cpu& c : cpus) {
        const QString id = field(*c.block, QLatin1String("physical id")).value_or(QString()).trimmed();
        if (packageIds.contains(id))
            continue;
        packageIds.insert(id);
        info.packages.push_back({c.number, processorName(*c.block, shared), blockMhz(*c.block, shared)});
    }
    return info;
}

namespace {

std::optional<QString> nameOf(const CpuInfo& info, const QString& root)
{
    if (info.name)
        return info.name;
    for (const char* path : {"/sys/firmware/devicetree/base/model", "/proc/device-tree/model"}) {
        if (auto model = readHostFile(underRoot(root, QLatin1String(path)), kAttributeBytes)) {
            while (model->endsWith('\0'))
                model->chop(1);
            if (!model->isEmpty())
                return QString::fromUtf8(*model);
        }
    }
    return info.fallbackName;
}

CpuInfo readCpuInfo(const QString& root)
{
    const auto cpuinfo = readHostFile(underRoot(root, QStringLiteral("/proc/cpuinfo")), kTableBytes);
    return parseCpuInfo(cpuinfo.value_or(QByteArray()));
}

} // namespace

std::optional<QString> readProcessorName(const QString& root)
{
    return nameOf(readCpuInfo(root), root);
}

std::vector<ProcessorFacts> readProcessors(const QString& root)
{
    const CpuInfo info = readCpuInfo(root);
    const std::optional<QString> name = nameOf(info, root);
    std::vector<ProcessorFacts> processors;
    for (const CpuPackage& package : info.packages) {
        std::optional<double> mhz;
        const QString freqPath = underRoot(
            root, QStringLiteral("/sys/devices/system/cpu/cpu%1/cpufreq/scaling_cur_freq").arg(package.firstCpu));
        if (const auto text = readHostFile(freqPath, kAttributeBytes)) {
            const auto khz = parseUnsigned(*text);
            if (khz && *khz > 0 && *khz < 1'000'000'000)
                mhz = *khz / 1000.0;
        }
        if (!mhz)
            mhz = package.mhz;
        ProcessorFacts facts;
        facts.name = package.name ? package.name : name;
        if (mhz)
            facts.clockMhz = std::llround(*mhz);
        processors.push_back(std::move(facts));
    }
    return processors;
}

} // namespace qni

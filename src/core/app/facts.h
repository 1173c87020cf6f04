// SPDX-License-Identifier: MIT
#pragma once

#include "base/one_line.h"
#include "base/result_boxes.h"


#include <algorithm>
#include <array>

namespace qni {

// The ten facts the window shows, in window order.
enum class Fact {
    OperatingSystem,
    SerialNumber,
    OsVersion,
    MemoryChips,
    Cpu,
    ClockedSpeed,
    NetworkAddress,
    InternetAddress,
    SubnetMask,
    MacAddress,
};

struct FactInfo {
    Fact fact;
    const char16_t* caption; // the window's label caption, colon included
    const char* jsonName; // the report's member name
    TextSlot& (*box)(ResultBoxes&);
};

inline constexpr std::array<FactInfo, 10> kFacts = {{
    {Fact::OperatingSystem, u"Operating System:", "operating_system", [](ResultBoxes& b) -> TextSlot& { return b.txtOS; }},
    {Fact::SerialNumber, u"Serial Number:", "serial_number", [](ResultBoxes& b) -> TextSlot& { return b.txtOSSerial; }},
    {Fact::OsVersion, u"OS Version:", "os_version", [](ResultBoxes& b) -> TextSlot& { return b.txtVersion; }},
    {Fact::MemoryChips, u"Memory Chips:", "memory_chips", [](ResultBoxes& b) -> TextSlot& { return b.txtMemory; }},
    {Fact::Cpu, u"CPU:", "cpu", [](ResultBoxes& b) -> TextSlot& { return b.txtCPU; }},
    {Fact::ClockedSpeed, u"Clocked Speed:", "clocked_speed", [](ResultBoxes& b) -> TextSlot& { return b.txtCPUSpeed; }},
    {Fact::NetworkAddress, u"Network Address:", "network_address", [](ResultBoxes& b) -> TextSlot& { return b.txtNETIP; }},
    {Fact::InternetAddress, u"Internet Address:", "internet_address", [](ResultBoxes& b) -> TextSlot& { return b.txtINTIP; }},
    {Fact::SubnetMask, u"Subnet Mask:", "subnet_mask", [](ResultBoxes& b) -> TextSlot& { return b.txtMask; }},
    {Fact::MacAddress, u"Mac Address:", "mac_address", [](ResultBoxes& b) -> TextSlot& { return b.txtMac; }},
}};

inline const FactInfo& factInfo(Fact fact)
{
    return kFacts[static_cast<size_t>(fact)];
}

// A fact that a run could not gather, and why ("the page could not be
// fetched (could not resolve host)").
struct FactFailure {
    Fact fact;
    Text reason;

    bool operator==(const FactFailure&) const = default;
};

// What a finished run tells beside the boxes.
struct GatherOutcome {
    bool notXp = false;
    std::vector<FactFailure> failures; // window order, at most one per fact

    bool failed(Fact fact) const
    {
        return std::any_of(failures.begin(), failures.end(), [fact](const FactFailure& f) { return f.fact == fact; });
    }

    // The first reason given for a fact stands. A reason quotes what failed
    // (a server's words, a page), so it is kept to one line in reading order:
    // the tool tip lists one failure per line.
    void fail(Fact fact, const Text& reason)
    {
        if (failed(fact))
            return;
        const auto after = std::find_if(failures.begin(), failures.end(),
                                        [fact](const FactFailure& f) { return f.fact > fact; });
        failures.insert(after, FactFailure{fact, onOneLine(reason)});
    }
};

} // namespace qni

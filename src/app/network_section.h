#pragma once

#include "base/int16.h"

#include <functional>

namespace qni {

struct Platform;
struct ResultBoxes;
class ReadOutput;

// What the network facts need from the window that hosts them.
struct NetworkHost {
    ResultBoxes& boxes;
    const Platform& platform;
    ReadOutput& runner;                 // ReadOutput1; its events fill txtOutput
    std::function<void(Int16)> pause;   // Pause
};

inline constexpr char16_t kAdapterMark[] = u"Local Area Connection";
inline constexpr char16_t kAdapterEndMark[] = u"IP";
inline constexpr char16_t kPhysicalAddressMark[] = u"Physical Address. . . . . . . . . : ";
inline constexpr char16_t kDhcpMark[] = u"        Dhcp";

// Fills the IP Information frame: the MAC address cut out of "ipconfig /all",
// the local address, the subnet masks of the last IP-enabled adapter, and
// the public address. Continue-on-error throughout.
void RunNetworkSection(NetworkHost& host);

} // namespace qni

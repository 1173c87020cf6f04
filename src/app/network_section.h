#pragma once

#include "base/int16.h"

#include <QString>

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

inline const QString kAdapterMark = QStringLiteral("Local Area Connection");
inline const QString kAdapterEndMark = QStringLiteral("IP");
inline const QString kPhysicalAddressMark = QStringLiteral("Physical Address. . . . . . . . . : ");
inline const QString kDhcpMark = QStringLiteral("        Dhcp");

// Fills the IP Information frame: the MAC address cut out of "ipconfig /all",
// the local address, the subnet masks of the last IP-enabled adapter, and
// the public address. Continue-on-error throughout.
void runNetworkSection(NetworkHost& host);

} // namespace qni

#pragma once

#include "app/network_constants.h"
#include "base/int16.h"
#include "base/result_boxes.h"

#include <QString>

#include <functional>

namespace qni {

struct Platform;
class ReadOutput;

// What the network facts need from the window that hosts them.
struct NetworkHost {
    ResultBoxes& boxes;
    const Platform& platform;
    ReadOutput& runner;                 // ReadOutput1; its events fill txtOutput
    std::function<void(Int16)> pause;   // Pause
    QString publicPage = QString(kPublicAddressPage); // empty: no page is fetched
    BoxFailed failed;                   // hears of each box left unfilled
};

inline constexpr char16_t kAdapterMark[] = u"Local Area Connection";
inline constexpr char16_t kAdapterEndMark[] = u"IP";
inline constexpr char16_t kPhysicalAddressMark[] = u"Physical Address. . . . . . . . . : ";
inline constexpr char16_t kDhcpMark[] = u"        Dhcp";

// Fills the IP Information frame: the MAC address cut out of "ipconfig /all",
// the local address, the subnet masks of the IP-enabled adapter that holds
// the local address (else of the last one), and the public address.
// Continue-on-error throughout.
void RunNetworkSection(NetworkHost& host);

} // namespace qni

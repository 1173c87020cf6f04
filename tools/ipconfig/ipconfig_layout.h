// SPDX-License-Identifier: MIT
#pragma once

#include "host/facts/adapters.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace qni::ipconfig {

// The machine-wide facts of the header block and the per-adapter facts that
// the adapter list does not carry.
struct HostInfo {
    QString hostName;                 // as the system reports it, possibly with a domain
    bool ipRouting = false;           // IPv4 forwarding on
    QHash<QString, QString> gateways; // kernel interface name -> default gateway
    QStringList dnsServers;           // shown on the adapter carrying the default route
};

enum class Layout {
    Short, // "ipconfig"
    All,   // "ipconfig /all"
};

// The adapters in the Windows XP layout, every line ended by CR LF as XP
// wrote it into a pipe. Loopback is never listed; the adapter that gets the
// plain name "Local Area Connection" comes first, so a reader looking for the
// first such section finds the main wired adapter and not "... 2". When no
// wired adapter is connected, the wired sections come last instead.
QString formatIpconfig(const std::vector<Adapter>& adapters, const HostInfo& host, Layout layout);

} // namespace qni::ipconfig

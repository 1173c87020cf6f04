// SPDX-License-Identifier: MIT
#pragma once

#include "host/facts/adapters.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace qni {

// One entry of getifaddrs: an interface with one of its addresses.
struct InterfaceRecord {
    enum class Family { Other, Ipv4, Link };

    QString name;     // "eth0", or "eth0:1" for an address with a label
    int index = 0;    // 0 when unknown
    unsigned flags = 0; // IFF_*
    Family family = Family::Other;
    Ipv4Address ipv4;   // Family::Ipv4
    int hardwareType = -1; // Family::Link: ARPHRD_*
    QByteArray hardwareAddress; // Family::Link
};

// getifaddrs' entries, in its order; empty when it fails.
std::vector<InterfaceRecord> readInterfaceRecords();

// The adapters the records describe, completed from root's interface
// attributes and routing table and sorted by interface index.
std::vector<Adapter> assembleAdapters(const std::vector<InterfaceRecord>& records, const QString& root);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace qni {

// One IPv4 address of an interface with its netmask, dotted decimal.
struct Ipv4Address {
    QString address;
    QString netmask;
};

// A network interface of the host as the adapter services need it.
struct Adapter {
    QString name;          // kernel name, e.g. "enp0s3"
    int index = 0;         // interface index
    QByteArray mac;        // 6 bytes, or empty when the interface has none
    QList<Ipv4Address> ipv4;
    bool up = false;       // IFF_UP and carrier
    bool loopback = false;
    bool wireless = false; // /sys/class/net/<name>/wireless exists
    bool ethernet = false; // ARPHRD_ETHER and not wireless
    bool defaultRoute = false; // carries the IPv4 default route
    QString description;   // a human description (driver / device), may be empty
};

// The host's interfaces in interface-index order, loopback included (callers
// drop it). Reads getifaddrs for addresses and root's interface attributes
// and routing table for the rest.
std::vector<Adapter> readHostAdapters(const QString& root = QStringLiteral("/"));

} // namespace qni

// SPDX-License-Identifier: MIT
#include "ipconfig_layout.h"

#include <algorithm>

namespace qni::ipconfig {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// XP's labels are hand-padded to one column; a few break the dot rhythm, so
// they are kept verbatim rather than generated.
namespace label {
const QString kHostName = QStringLiteral("Host Name . . . . . . . . . . . . : ");
const QString kPrimaryDnsSuffix = QStringLiteral("Primary Dns Suffix  . . . . . . . : ");
const QString kNodeType = QStringLiteral("Node Type . . . . . . . . . . . . : ");
const QString kIpRouting = QStringLiteral("IP Routing Enabled. . . . . . . . : ");
const QString kWinsProxy = QStringLiteral("WINS Proxy Enabled. . . . . . . . : ");
const QString kMediaState = QStringLiteral("Media State . . . . . . . . . . . : ");
const QString kDnsSuffix = QStringLiteral("Connection-specific DNS Suffix  . : ");
const QString kDescription = QStringLiteral("Description . . . . . . . . . . . : ");
const QString kPhysical = QStringLiteral("Physical Address. . . . . . . . . : ");
const QString kDhcp = QStringLiteral("Dhcp Enabled. . . . . . . . . . . : ");
const QString kIpAddress = QStringLiteral("IP Address. . . . . . . . . . . . : ");
const QString kSubnetMask = QStringLiteral("Subnet Mask . . . . . . . . . . . : ");
const QString kGateway = QStringLiteral("Default Gateway . . . . . . . . . : ");
const QString kDnsServers = QStringLiteral("DNS Servers . . . . . . . . . . . : ");
} // namespace label

const QString kIndent = QStringLiteral("        ");
// Further values of a field stand under the first one.
const QString kContinuation(44, QLatin1Char(' '));

void field(QString& out, const QString& label, const QString& value)
{
    out += kIndent + label + value + kCrLf;
}

QString macText(const QByteArray& mac)
{
    return QString::fromLatin1(mac.toHex('-').toUpper());
}

struct Section {
    const Adapter* adapter;
    QString title;
    bool primary = false; // the default-route adapter (or the first) of its kind
};

// Names in XP's style: per kind, the adapter carrying the default route (else
// the first connected one, else the first) gets the plain name, the others
// 2, 3, ... in index order.
std::vector<Section> nameSections(const std::vector<Adapter>& adapters)
{
    std::vector<const Adapter*> listed;
    for (const Adapter& a : adapters) {
        if (!a.loopback)
            listed.push_back(&a);
    }
    std::stable_sort(listed.begin(), listed.end(),
                     [](const Adapter* l, const Adapter* r) { return l->index < r->index; });

    enum Kind { Wired, Wireless, Other };
    const auto kindOf = [](const Adapter* a) { return a->wireless ? Wireless : a->ethernet ? Wired : Other; };
    const Adapter* primary[2] = {nullptr, nullptr};
    for (const Adapter* a : listed) {
        const Kind k = kindOf(a);
        if (k != Other && a->defaultRoute && !primary[k])
            primary[k] = a;
    }
    for (const bool connectedOnly : {true, false}) {
        for (const Adapter* a : listed) {
            const Kind k = kindOf(a);
            if (k != Other && !primary[k] && (a->up || !connectedOnly))
                primary[k] = a;
        }
    }

    const QString base[2] = {QStringLiteral("Local Area Connection"), QStringLiteral("Wireless Network Connection")};
    int next[2] = {2, 2};
    std::vector<Section> sections;
    for (const Adapter* a : listed) {
        const Kind k = kindOf(a);
        Section s{a, {}, false};
        if (k == Other) {
            s.title = QStringLiteral("PPP adapter ") + a->name;
        } else if (a == primary[k]) {
            s.title = QStringLiteral("Ethernet adapter ") + base[k];
            s.primary = true;
        } else {
            s.title = QStringLiteral("Ethernet adapter ") + base[k] + QLatin1Char(' ') + QString::number(next[k]++);
        }
        sections.push_back(std::move(s));
    }
    std::stable_partition(sections.begin(), sections.end(),
                          [&](const Section& s) { return s.adapter == primary[Wired]; });
    // A disconnected adapter's section has no Dhcp line, as on XP: a reader
    // cutting from its physical address to the next Dhcp line would run on
    // into the following adapter. With no wired adapter connected, the wired
    // sections therefore come last.
    if (primary[Wired] && !primary[Wired]->up)
        std::stable_partition(sections.begin(), sections.end(),
                              [&](const Section& s) { return kindOf(s.adapter) != Wired; });
    return sections;
}

void addressLines(QString& out, const Adapter& a, const HostInfo& host)
{
    if (a.ipv4.isEmpty()) {
        field(out, label::kIpAddress, QStringLiteral("0.0.0.0"));
        field(out, label::kSubnetMask, QStringLiteral("0.0.0.0"));
    }
    for (const Ipv4Address& ip : a.ipv4) {
        field(out, label::kIpAddress, ip.address);
        field(out, label::kSubnetMask, ip.netmask);
    }
    field(out, label::kGateway, host.gateways.value(a.name));
}

} // namespace

QString formatIpconfig(const std::vector<Adapter>& adapters, const HostInfo& host, Layout layout)
{
    QString out = kCrLf + QStringLiteral("Windows IP Configuration") + kCrLf + kCrLf;
    if (layout == Layout::All) {
        const qsizetype dot = host.hostName.indexOf(QLatin1Char('.'));
        field(out, label::kHostName, host.hostName.left(dot < 0 ? host.hostName.size() : dot));
        field(out, label::kPrimaryDnsSuffix, dot < 0 ? QString() : host.hostName.mid(dot + 1));
        field(out, label::kNodeType, QStringLiteral("Unknown"));
        field(out, label::kIpRouting, host.ipRouting ? QStringLiteral("Yes") : QStringLiteral("No"));
        field(out, label::kWinsProxy, QStringLiteral("No"));
    }

    for (const Section& s : nameSections(adapters)) {
        const Adapter& a = *s.adapter;
        out += kCrLf + s.title + QLatin1Char(':') + kCrLf + kCrLf;
        if (!a.up) {
            field(out, label::kMediaState, QStringLiteral("Media disconnected"));
            if (layout == Layout::All) {
                field(out, label::kDescription, a.description.isEmpty() ? a.name : a.description);
                field(out, label::kPhysical, macText(a.mac));
            }
            continue;
        }
        field(out, label::kDnsSuffix, QString());
        if (layout == Layout::Short) {
            addressLines(out, a, host);
            continue;
        }
        field(out, label::kDescription, a.description.isEmpty() ? a.name : a.description);
        field(out, label::kPhysical, macText(a.mac));
        field(out, label::kDhcp, QStringLiteral("No"));
        addressLines(out, a, host);
        if (a.defaultRoute && !host.dnsServers.isEmpty()) {
            field(out, label::kDnsServers, host.dnsServers.front());
            for (qsizetype i = 1; i < host.dnsServers.size(); ++i)
                out += kContinuation + host.dnsServers.at(i) + kCrLf;
        }
    }
    return out;
}

} // namespace qni::ipconfig

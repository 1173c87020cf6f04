// SPDX-License-Identifier: MIT
#include "host/facts/adapters.h"

#include "host/facts/adapter_records.h"
#include "host/facts/files.h"
#include "host/facts/routes.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>

namespace qni {

namespace {

QString dotted(const sockaddr* address)
{
    if (!address || address->sa_family != AF_INET)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
        return {};
    return QString::fromLatin1(text);
}

// "52:54:00:12:34:56" -> six bytes; anything else (longer link addresses,
// garbage) -> empty.
QByteArray parseMac(QByteArrayView text)
{
    const QByteArrayView t = text.trimmed();
    if (t.size() != 17)
        return {};
    QByteArray mac;
    for (int i = 0; i < 6; ++i) {
        if (i > 0 && t[i * 3 - 1] != ':')
            return {};
        const auto byte = parseUnsigned(t.sliced(i * 3, 2), 16);
        if (!byte)
            return {};
        mac.append(char(*byte));
    }
    return mac;
}

struct Collected {
    Adapter adapter;
    unsigned flags = 0;
    int hardwareType = -1;
};

// What a driver-backed interface calls its driver, else the kind of a
// virtual one (bridge, vlan, wlan, ...).
QString describe(const QDir& sys)
{
    for (const auto& [file, key] : {std::pair{"device/uevent", QByteArrayView("DRIVER=")},
                                    std::pair{"uevent", QByteArrayView("DEVTYPE=")}}) {
        const auto text = readHostFile(sys.filePath(QLatin1String(file)), kAttributeBytes);
        if (!text)
            continue;
        LineReader lines(*text);
        while (const auto line = lines.next()) {
            if (line->startsWith(key) && line->size() > key.size())
                return QString::fromUtf8(line->sliced(key.size()).trimmed());
        }
    }
    return {};
}

} // namespace

std::vector<InterfaceRecord> readInterfaceRecords()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    const std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owner(list, freeifaddrs);

    std::vector<InterfaceRecord> records;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_name)
            continue;
        InterfaceRecord r;
        r.name = QString::fromLocal8Bit(entry->ifa_name);
        r.index = int(if_nametoindex(entry->ifa_name));
        r.flags = entry->ifa_flags;
        if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET) {
            r.family = InterfaceRecord::Family::Ipv4;
            r.ipv4.address = dotted(entry->ifa_addr);
            r.ipv4.netmask = dotted(entry->ifa_netmask);
        } else if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
            r.family = InterfaceRecord::Family::Link;
            r.index = link->sll_ifindex;
            r.hardwareType = link->sll_hatype;
            if (link->sll_halen == 6)
                r.hardwareAddress = QByteArray(reinterpret_cast<const char*>(link->sll_addr), 6);
        }
        records.push_back(std::move(r));
    }
    return records;
}

std::vector<Adapter> assembleAdapters(const std::vector<InterfaceRecord>& records, const QString& root)
{
    std::vector<Collected> collected;
    for (const InterfaceRecord& r : records) {
        // A labelled address ("eth0:1") belongs to its interface.
        const QString name = r.name.section(QLatin1Char(':'), 0, 0);
        if (name.isEmpty())
            continue;
        auto it = std::find_if(collected.begin(), collected.end(),
                               [&](const Collected& c) { return c.adapter.name == name; });
        if (it == collected.end()) {
            Collected c;
            c.adapter.name = name;
            collected.push_back(c);
            it = collected.end() - 1;
        }
        Collected& c = *it;
        c.flags |= r.flags;
        if (r.name == name && r.index > 0 && (c.adapter.index == 0 || r.family == InterfaceRecord::Family::Link))
            c.adapter.index = r.index;
        switch (r.family) {
        case InterfaceRecord::Family::Ipv4:
            if (!r.ipv4.address.isEmpty())
                c.adapter.ipv4.append({r.ipv4.address,
                                       // a mask-less (point-to-point) address covers only itself
                                       r.ipv4.netmask.isEmpty() ? QStringLiteral("255.255.255.255") : r.ipv4.netmask});
            break;
        case InterfaceRecord::Family::Link:
            c.hardwareType = r.hardwareType;
            if (r.hardwareAddress.size() == 6)
                c.adapter.mac = r.hardwareAddress;
            break;
        case InterfaceRecord::Family::Other:
            break;
        }
    }

    const QString routeInterface = defaultRouteInterface(readDefaultRoutes(root));
    const QDir classNet(underRoot(root, QStringLiteral("/sys/class/net")));

    std::vector<Adapter> adapters;
    for (Collected& c : collected) {
        Adapter& a = c.adapter;
        // Kernel names never hold '/' and are never "." or "..", but these
        // come from outside: never let one walk out of /sys/class/net.
        const bool safeName = !a.name.contains(QLatin1Char('/')) && a.name != QLatin1String(".")
            && a.name != QLatin1String("..");
        if (safeName) {
            const QDir sys(classNet.filePath(a.name));
            auto attribute = [&](const char* file) {
                return readHostFile(sys.filePath(QLatin1String(file)), kAttributeBytes);
            };
            if (a.index == 0) {
                if (const auto text = attribute("ifindex"))
                    a.index = int(parseUnsigned(*text).value_or(0) & 0x7fffffff);
            }
            if (a.mac.isEmpty()) {
                if (const auto text = attribute("address"))
                    a.mac = parseMac(*text);
            }
            if (c.hardwareType < 0) {
                if (const auto text = attribute("type"))
                    c.hardwareType = int(parseUnsigned(*text).value_or(quint64(-1)) & 0xffff);
            }
            a.wireless = QFileInfo(sys.filePath(QStringLiteral("wireless"))).isDir()
                || QFileInfo::exists(sys.filePath(QStringLiteral("phy80211")));
            a.description = describe(sys);
        }
        a.loopback = (c.flags & IFF_LOOPBACK) || c.hardwareType == ARPHRD_LOOPBACK;
        a.up = (c.flags & IFF_UP) && (c.flags & IFF_RUNNING);
        a.ethernet = c.hardwareType == ARPHRD_ETHER && !a.wireless;
        a.defaultRoute = !routeInterface.isEmpty() && a.name == routeInterface;
        adapters.push_back(std::move(a));
    }
    // Interface-index order; an interface whose index is unknown goes last.
    std::stable_sort(adapters.begin(), adapters.end(), [](const Adapter& x, const Adapter& y) {
        const auto key = [](const Adapter& a) { return a.index > 0 ? quint64(a.index) : quint64(-1); };
        return key(x) < key(y);
    });
    return adapters;
}

std::vector<Adapter> readHostAdapters(const QString& root)
{
    return assembleAdapters(readInterfaceRecords(), root);
}

} // namespace qni

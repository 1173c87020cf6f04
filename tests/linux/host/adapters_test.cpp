// SPDX-License-Identifier: MIT
#include "host/facts/adapter_records.h"
#include "host/facts/name_servers.h"
#include "host/facts/routes.h"
#include "host/sockets_service.h"

#include "host_samples.h"

#include <net/if.h>
#include <net/if_arp.h>

using namespace qni;

namespace {

QByteArray route(std::initializer_list<const char*> rows)
{
    QByteArray text = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    for (const char* row : rows)
        text += QByteArray(row) + "\t0\t0\t0\n";
    return text;
}

// The lowest metric wins, among all default routes and among each interface's
// routes through a gateway.
TEST(HostRoute, TheDefaultRoutesInterfaceAndGateways)
{
    const std::tuple<const char*, QHash<QString, QString>, QByteArray> cases[] = {
        {"eth0", {{"eth0", "192.168.1.1"}, {"wlan0", "10.0.0.1"}}, readSample(QStringLiteral("x86-server/proc/net/route"))},
        {"ppp0", {{"eth0", "192.168.1.2"}}, route({"eth0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000",
                                                  "eth0\t00000000\t0201A8C0\t0003\t0\t0\t500\t00000000",
                                                  "ppp0\t00000000\t00000000\t0001\t0\t0\t50\t00000000"})},
        {"", {}, route({"eth0\t0001A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF"})}, // not to everywhere
        {"", {}, route({"eth0\t00000000\t0101A8C0\t0002\t0\t0\t0\t00000000"})}, // not up
        {"", {}, route({"eth0\t00000000\t0101A8C0\t0003\t0\t0\t0\t80000000"})}, // half the space only
        {"", {}, QByteArray("\0\0\xff\n\t\t\t\t\t\t\t\t\n", 14)},
    };
    for (const auto& [interface, gateways, text] : cases) {
        EXPECT_EQ(defaultRouteInterface(parseDefaultRoutes(text)), interface) << text.toStdString();
        EXPECT_EQ(defaultGateways(parseDefaultRoutes(text)), gateways) << text.toStdString();
    }
    EXPECT_EQ(parseNameServers("search example.org\nnameserver 192.168.1.1\nnameserver fe80::1\n  nameserver   8.8.8.8  \n"
                               "nameserver 300.1.1.1\n#nameserver 9.9.9.9\n"),
              (QStringList{"192.168.1.1", "8.8.8.8"}));
}

InterfaceRecord link(const char* name, int index, unsigned flags, int type, const char* mac)
{
    return {name, index, flags, InterfaceRecord::Family::Link, {}, type, QByteArray::fromHex(mac)};
}

InterfaceRecord ipv4(const char* name, int index, unsigned flags, const char* address, const char* mask)
{
    return {name, index, flags, InterfaceRecord::Family::Ipv4, {address, mask}, -1, {}};
}

TEST(HostAdapters, AssembledFromTheRecordsAndSys)
{
    const unsigned up = IFF_UP | IFF_RUNNING;
    const auto adapters = assembleAdapters(
        {link("wlan0", 3, IFF_UP, ARPHRD_ETHER, "9cb6d0123456"), link("eth0", 2, up, ARPHRD_ETHER, "000c293a4b5c"),
         link("lo", 1, up | IFF_LOOPBACK, ARPHRD_LOOPBACK, "000000000000"),
         ipv4("lo", 1, up | IFF_LOOPBACK, "127.0.0.1", "255.0.0.0"), ipv4("eth0", 2, up, "192.168.1.10", "255.255.255.0"),
         ipv4("eth0:1", 0, up, "10.0.0.9", "255.0.0.0"),
         ipv4("docker0", 0, IFF_UP, "172.17.0.1", ""), // known by name only: the rest is in /sys
         ipv4("../net/eth0", 0, 0, "10.1.1.2", "255.0.0.0")}, // never looked up outside /sys/class/net
        hostSample(QStringLiteral("x86-server")));
    QStringList rows;
    for (const Adapter& a : adapters) {
        QStringList ips;
        for (const Ipv4Address& ip : a.ipv4)
            ips << ip.address + '/' + ip.netmask;
        rows << QStringLiteral("%1 %2 %3 %4%5%6%7%8 %9 %10")
                    .arg(a.name).arg(a.index).arg(QString::fromLatin1(a.mac.toHex()))
                    .arg(a.loopback).arg(a.ethernet).arg(a.wireless).arg(a.up).arg(a.defaultRoute)
                    .arg(a.description, ips.join(','));
    }
    EXPECT_EQ(rows, (QStringList{"lo 1 000000000000 10010  127.0.0.1/255.0.0.0",
                                 "eth0 2 000c293a4b5c 01011 e1000e 192.168.1.10/255.255.255.0,10.0.0.9/255.0.0.0",
                                 "wlan0 3 9cb6d0123456 00100 iwlwifi ",
                                 "docker0 4 0242ac110001 01000 bridge 172.17.0.1/255.255.255.255",
                                 "../net/eth0 0  00000  10.1.1.2/255.0.0.0"}));
}

// 'L' loopback, 'R' default route, 'D' down, '-' none of these; a dash in the address: none.
Adapter adapter(char kind, const char* address)
{
    Adapter a;
    std::tie(a.loopback, a.defaultRoute, a.up) = std::tuple(kind == 'L', kind == 'R', kind != 'D');
    if (*address != '-')
        a.ipv4 = {{address, "255.0.0.0"}, {"10.9.9.9", "255.0.0.0"}};
    return a;
}

TEST(HostSockets, TheLocalAddress)
{
    const std::pair<std::vector<Adapter>, const char*> machines[] = {
        {{adapter('L', "127.0.0.1"), adapter('-', "172.17.0.1"), adapter('R', "192.168.1.10")}, "192.168.1.10"},
        {{adapter('R', "-"), adapter('D', "10.0.0.5"), adapter('-', "172.17.0.1")}, "172.17.0.1"},
        {{adapter('L', "127.0.0.1"), adapter('D', "10.0.0.5")}, "10.0.0.5"},
        {{adapter('L', "127.0.0.2")}, "127.0.0.1"},
    };
    for (const auto& [adapters, address] : machines)
        EXPECT_EQ(chooseLocalAddress(adapters), address);
}

} // namespace

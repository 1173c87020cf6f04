#include "platform/host/adapter_records.h"
#include "platform/host/routes.h"

#include "host_test_support.h"
#include "support/qt_printers.h"

#include <net/if.h>
#include <net/if_arp.h>

#include <tuple>

using namespace qni;

namespace {

QByteArray route(std::initializer_list<const char*> rows)
{
    QByteArray text = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    for (const char* row : rows)
        text += QByteArray(row) + "\t0\t0\t0\n";
    return text;
}

TEST(HostRoute, DefaultRouteInterface)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"eth0", readSample(QStringLiteral("x86-server/proc/net/route"))},
        {"eth0", route({"eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000"})},
        {"wlan0", route({"eth0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000",
                         "wlan0\t00000000\t0100000A\t0003\t0\t0\t50\t00000000"})},
        {"ppp0", route({"ppp0\t00000000\t00000000\t0001\t0\t0\t0\t00000000",
                        "eth0\t00000000\t0101A8C0\t0003\t0\t0\t0\t00000000"})},
        {"", route({"eth0\t0001A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF"})},         // not a default route
        {"", route({"eth0\t00000000\t0101A8C0\t0002\t0\t0\t0\t00000000"})},         // not up
        {"", route({"eth0\t00000000\t0101A8C0\t0003\t0\t0\t0\t80000000"})},         // half the space only
        {"", {}},
        {"", QByteArray("\0\0\xff\n\t\t\t\t\t\t\t\t\n", 14)},
    };
    for (const auto& [expected, text] : cases)
        EXPECT_EQ(defaultRouteInterface(parseDefaultRoutes(text)), QString::fromLatin1(expected)) << text.toStdString();
}

InterfaceRecord link(const char* name, int index, unsigned flags, int type, QByteArray mac)
{
    InterfaceRecord r{QString::fromLatin1(name), index, flags, InterfaceRecord::Family::Link, {}, type, mac};
    return r;
}

InterfaceRecord ipv4(const char* name, int index, unsigned flags, const char* address, const char* mask)
{
    return {QString::fromLatin1(name), index, flags, InterfaceRecord::Family::Ipv4,
            {QString::fromLatin1(address), QString::fromLatin1(mask)}, -1, {}};
}

TEST(HostAdapters, AssemblyFromRecordsAndSys)
{
    const unsigned upRunning = IFF_UP | IFF_RUNNING;
    const QByteArray eth0Mac = QByteArray::fromHex("000c293a4b5c");
    const std::vector<InterfaceRecord> records = {
        link("wlan0", 3, IFF_UP, ARPHRD_ETHER, QByteArray::fromHex("9cb6d0123456")),
        link("eth0", 2, upRunning, ARPHRD_ETHER, eth0Mac),
        link("lo", 1, upRunning | IFF_LOOPBACK, ARPHRD_LOOPBACK, QByteArray(6, '\0')),
        ipv4("lo", 1, upRunning | IFF_LOOPBACK, "127.0.0.1", "255.0.0.0"),
        ipv4("eth0", 2, upRunning, "192.168.1.10", "255.255.255.0"),
        ipv4("eth0:1", 0, upRunning, "10.0.0.9", "255.0.0.0"),
        // Known to the records by name only: the rest comes from /sys.
        ipv4("docker0", 0, IFF_UP, "172.17.0.1", ""),
    };
    const auto adapters = assembleAdapters(records, hostSample(QStringLiteral("x86-server")));
    // name, index, loopback, ethernet, wireless, up, default route, description
    using Row = std::tuple<QString, int, bool, bool, bool, bool, bool, QString>;
    std::vector<Row> rows;
    for (const Adapter& a : adapters)
        rows.emplace_back(a.name, a.index, a.loopback, a.ethernet, a.wireless, a.up, a.defaultRoute, a.description);
    EXPECT_EQ(rows, (std::vector<Row>{{"lo", 1, true, false, false, true, false, ""},
                                      {"eth0", 2, false, true, false, true, true, "e1000e"},
                                      {"wlan0", 3, false, false, true, false, false, "iwlwifi"},
                                      {"docker0", 4, false, true, false, false, false, "bridge"}}));
    ASSERT_EQ(adapters.size(), 4u);
    EXPECT_EQ(adapters[1].mac, eth0Mac);
    EXPECT_EQ(adapters[3].mac, QByteArray::fromHex("0242ac110001")); // from /sys
    auto addresses = [](const Adapter& a) {
        QStringList list;
        for (const Ipv4Address& ip : a.ipv4)
            list << ip.address + '/' + ip.netmask;
        return list;
    };
    EXPECT_EQ(addresses(adapters[1]), QStringList({"192.168.1.10/255.255.255.0", "10.0.0.9/255.0.0.0"}));
    EXPECT_EQ(addresses(adapters[2]), QStringList());
    EXPECT_EQ(addresses(adapters[3]), QStringList({"172.17.0.1/255.255.255.255"}));
}

TEST(HostAdapters, NamesThatCouldLeaveSysAreNotLookedUp)
{
    const auto adapters = assembleAdapters({ipv4("..", 0, 0, "10.1.1.1", "255.0.0.0"),
                                            ipv4("../net/eth0", 0, 0, "10.1.1.2", "255.0.0.0")},
                                           hostSample(QStringLiteral("x86-server")));
    ASSERT_EQ(adapters.size(), 2u);
    for (const Adapter& a : adapters) {
        EXPECT_EQ(a.index, 0);
        EXPECT_TRUE(a.mac.isEmpty());
    }
}

TEST(HostAdapters, LiveHostIsInIndexOrder)
{
    const auto adapters = readHostAdapters();
    ASSERT_FALSE(adapters.empty());
    EXPECT_TRUE(std::any_of(adapters.begin(), adapters.end(), [](const Adapter& a) { return a.loopback; }));
    for (size_t i = 1; i < adapters.size(); ++i)
        EXPECT_LT(adapters[i - 1].index, adapters[i].index);
}

} // namespace

#include "ipconfig_layout.h"

#include "app/extract_between.h"
#include "platform/host/name_servers.h"
#include "platform/host/routes.h"
#include "support/qt_printers.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::ipconfig;

namespace {

QString crlf(std::initializer_list<const char*> lines)
{
    QString s;
    for (const char* l : lines)
        s += QString::fromUtf8(l) + QStringLiteral("\r\n");
    return s;
}

enum class Kind { Wired, Wireless, Other };

Adapter adapter(int index, const char* name, Kind kind, QByteArray mac, QList<Ipv4Address> ipv4 = {},
                bool up = true, bool defaultRoute = false, const char* description = "")
{
    Adapter a;
    a.index = index;
    a.name = QString::fromUtf8(name);
    a.ethernet = kind == Kind::Wired;
    a.wireless = kind == Kind::Wireless;
    a.mac = std::move(mac);
    a.ipv4 = std::move(ipv4);
    a.up = up;
    a.defaultRoute = defaultRoute;
    a.description = QString::fromUtf8(description);
    return a;
}

Adapter loopback()
{
    Adapter a;
    a.index = 1;
    a.name = QStringLiteral("lo");
    a.loopback = true;
    a.up = true;
    a.ipv4 = {{QStringLiteral("127.0.0.1"), QStringLiteral("255.0.0.0")}};
    return a;
}

const QByteArray kMac = QByteArray::fromHex("000c294f1a2b");
const Ipv4Address kLan{QStringLiteral("192.168.1.10"), QStringLiteral("255.255.255.0")};

Adapter mainWired()
{
    return adapter(2, "enp0s3", Kind::Wired, kMac, {kLan}, true, true, "VMware Accelerated AMD PCNet Adapter");
}

HostInfo xpBox()
{
    HostInfo h;
    h.hostName = QStringLiteral("XPBOX");
    h.gateways.insert(QStringLiteral("enp0s3"), QStringLiteral("192.168.1.1"));
    h.dnsServers = {QStringLiteral("192.168.1.1"), QStringLiteral("8.8.8.8")};
    return h;
}

// The network section's two cuts and the trim of the line end.
QString macCut(const QString& output)
{
    QString s = ExtractBetween(output, QStringLiteral("Local Area Connection"), QStringLiteral("IP"));
    s = ExtractBetween(s, QStringLiteral("Physical Address. . . . . . . . . : "), QStringLiteral("        Dhcp"));
    return s.size() >= 2 ? s.left(s.size() - 2) : QString();
}

QStringList sectionTitles(const QString& output)
{
    QStringList titles;
    static const QRegularExpression title(QStringLiteral("^(\\S.*adapter .*):\\r$"),
                                          QRegularExpression::MultilineOption);
    for (auto it = title.globalMatch(output); it.hasNext();)
        titles << it.next().captured(1);
    return titles;
}

// A wired adapter with the default route, a disconnected one, and a tunnel
// without a MAC address holding two addresses.
std::vector<Adapter> xpMachine()
{
    return {loopback(), mainWired(),
            adapter(3, "enp0s8", Kind::Wired, QByteArray::fromHex("000c294f1a2c"), {kLan}, false, false, "Intel PRO/1000"),
            adapter(5, "tun0", Kind::Other, {},
                    {{QStringLiteral("10.8.0.2"), QStringLiteral("255.255.255.255")},
                     {QStringLiteral("10.9.0.2"), QStringLiteral("255.255.0.0")}})};
}

TEST(IpconfigLayout, AllInTheXpLayout)
{
    EXPECT_EQ(formatIpconfig(xpMachine(), xpBox(), Layout::All), crlf({
        "",
        "Windows IP Configuration",
        "",
        "        Host Name . . . . . . . . . . . . : XPBOX",
        "        Primary Dns Suffix  . . . . . . . : ",
        "        Node Type . . . . . . . . . . . . : Unknown",
        "        IP Routing Enabled. . . . . . . . : No",
        "        WINS Proxy Enabled. . . . . . . . : No",
        "",
        "Ethernet adapter Local Area Connection:",
        "",
        "        Connection-specific DNS Suffix  . : ",
        "        Description . . . . . . . . . . . : VMware Accelerated AMD PCNet Adapter",
        "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B",
        "        Dhcp Enabled. . . . . . . . . . . : No",
        "        IP Address. . . . . . . . . . . . : 192.168.1.10",
        "        Subnet Mask . . . . . . . . . . . : 255.255.255.0",
        "        Default Gateway . . . . . . . . . : 192.168.1.1",
        "        DNS Servers . . . . . . . . . . . : 192.168.1.1",
        "                                            8.8.8.8",
        "",
        "Ethernet adapter Local Area Connection 2:",
        "",
        "        Media State . . . . . . . . . . . : Media disconnected",
        "        Description . . . . . . . . . . . : Intel PRO/1000",
        "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2C",
        "",
        "PPP adapter tun0:",
        "",
        "        Connection-specific DNS Suffix  . : ",
        "        Description . . . . . . . . . . . : tun0",
        "        Physical Address. . . . . . . . . : ",
        "        Dhcp Enabled. . . . . . . . . . . : No",
        "        IP Address. . . . . . . . . . . . : 10.8.0.2",
        "        Subnet Mask . . . . . . . . . . . : 255.255.255.255",
        "        IP Address. . . . . . . . . . . . : 10.9.0.2",
        "        Subnet Mask . . . . . . . . . . . : 255.255.0.0",
        "        Default Gateway . . . . . . . . . : ",
    }));
}

TEST(IpconfigLayout, ShortWithoutAll)
{
    EXPECT_EQ(formatIpconfig(xpMachine(), xpBox(), Layout::Short), crlf({
        "",
        "Windows IP Configuration",
        "",
        "",
        "Ethernet adapter Local Area Connection:",
        "",
        "        Connection-specific DNS Suffix  . : ",
        "        IP Address. . . . . . . . . . . . : 192.168.1.10",
        "        Subnet Mask . . . . . . . . . . . : 255.255.255.0",
        "        Default Gateway . . . . . . . . . : 192.168.1.1",
        "",
        "Ethernet adapter Local Area Connection 2:",
        "",
        "        Media State . . . . . . . . . . . : Media disconnected",
        "",
        "PPP adapter tun0:",
        "",
        "        Connection-specific DNS Suffix  . : ",
        "        IP Address. . . . . . . . . . . . : 10.8.0.2",
        "        Subnet Mask . . . . . . . . . . . : 255.255.255.255",
        "        IP Address. . . . . . . . . . . . : 10.9.0.2",
        "        Subnet Mask . . . . . . . . . . . : 255.255.0.0",
        "        Default Gateway . . . . . . . . . : ",
    }));
}

TEST(IpconfigLayout, HeaderSplitsTheDomainAndShowsRouting)
{
    HostInfo h;
    h.hostName = QStringLiteral("box.example.org");
    h.ipRouting = true;
    EXPECT_TRUE(formatIpconfig({}, h, Layout::All).endsWith(crlf({
        "        Host Name . . . . . . . . . . . . : box",
        "        Primary Dns Suffix  . . . . . . . : example.org",
        "        Node Type . . . . . . . . . . . . : Unknown",
        "        IP Routing Enabled. . . . . . . . : Yes",
        "        WINS Proxy Enabled. . . . . . . . : No",
    })));
}

TEST(IpconfigLayout, EightAdaptersNamedByKindAndIndex)
{
    const QString longDescription = QStringLiteral("Realtek ") + QString(300, QLatin1Char('R'));
    const std::vector<Adapter> adapters = {
        adapter(9, "veth1a2b", Kind::Wired, QByteArray::fromHex("02000000000a")),
        adapter(2, "eno1", Kind::Wired, QByteArray::fromHex("020000000001"), {}, false),
        loopback(),
        adapter(3, "eno2", Kind::Wired, QByteArray::fromHex("020000000002"), {kLan}, true, true,
                longDescription.toUtf8().constData()),
        adapter(4, "wlp2s0", Kind::Wireless, QByteArray::fromHex("020000000003")),
        adapter(5, "enx0050b6", Kind::Wired, QByteArray::fromHex("020000000004")),
        adapter(6, "docker0", Kind::Wired, QByteArray::fromHex("020000000005")),
        adapter(7, "wg0", Kind::Other, {}),
        adapter(8, "wlx00c0ca", Kind::Wireless, QByteArray::fromHex("020000000006")),
    };
    const QString out = formatIpconfig(adapters, {}, Layout::All);
    EXPECT_EQ(sectionTitles(out), (QStringList{
        "Ethernet adapter Local Area Connection",   // eno2, default route, first
        "Ethernet adapter Local Area Connection 2", // eno1
        "Ethernet adapter Wireless Network Connection",
        "Ethernet adapter Local Area Connection 3",
        "Ethernet adapter Local Area Connection 4",
        "PPP adapter wg0",
        "Ethernet adapter Wireless Network Connection 2",
        "Ethernet adapter Local Area Connection 5",
    }));
    EXPECT_TRUE(out.contains(QStringLiteral("        Description . . . . . . . . . . . : ") + longDescription + "\r\n"));
    EXPECT_EQ(macCut(out), QStringLiteral("02-00-00-00-00-02"));
    EXPECT_FALSE(out.contains(QStringLiteral("127.0.0.1")));
}

// What the window's MAC box gets from this tool's output.
struct MacCase {
    const char* name;
    std::vector<Adapter> adapters;
    QString mac;
};

void PrintTo(const MacCase& c, std::ostream* os) { *os << c.name; }

class MacFromOutput : public ::testing::TestWithParam<MacCase> {};

TEST_P(MacFromOutput, NetworkSectionCut)
{
    EXPECT_EQ(macCut(formatIpconfig(GetParam().adapters, xpBox(), Layout::All)), GetParam().mac);
}

INSTANTIATE_TEST_SUITE_P(Machines, MacFromOutput, ::testing::Values(
    MacCase{"main_wired_adapter", {loopback(), mainWired()}, "00-0C-29-4F-1A-2B"},
    // Without a default route the first wired adapter is the main one.
    MacCase{"no_default_route",
            {adapter(3, "eth1", Kind::Wired, QByteArray::fromHex("020000000003"), {kLan}),
             adapter(2, "eth0", Kind::Wired, QByteArray::fromHex("020000000002"), {kLan})},
            "02-00-00-00-00-02"},
    MacCase{"wireless_carries_the_route",
            {adapter(2, "wlan0", Kind::Wireless, QByteArray::fromHex("020000000009"), {kLan}, true, true),
             adapter(3, "eth0", Kind::Wired, QByteArray::fromHex("020000000003"), {})},
            "02-00-00-00-00-03"},
    MacCase{"no_wired_adapter",
            {loopback(), adapter(2, "wlan0", Kind::Wireless, kMac, {kLan}, true, true)}, ""},
    // XP prints no Dhcp line for a disconnected adapter, so the cut finds nothing.
    MacCase{"main_wired_adapter_down", {adapter(2, "eth0", Kind::Wired, kMac, {kLan}, false)}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseDefaultGateways, LowestMetricPerInterface)
{
    const QByteArray route =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "enp0s3\t00000000\t0101A8C0\t0003\t0\t0\t200\t00000000\t0\t0\t0\n"
        "enp0s3\t00000000\t0201A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "enp0s3\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
        "wlan0\t00000000\tFE01A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
        "ppp0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n"
        "down0\t00000000\t0100000A\t0002\t0\t0\t0\t00000000\t0\t0\t0\n"
        "broken\tzz\n";
    const QHash<QString, QString> gateways = defaultGateways(parseDefaultRoutes(route));
    EXPECT_EQ(gateways.size(), 2);
    EXPECT_EQ(gateways.value(QStringLiteral("enp0s3")), QStringLiteral("192.168.1.2"));
    EXPECT_EQ(gateways.value(QStringLiteral("wlan0")), QStringLiteral("192.168.1.254"));
}

TEST(ParseNameServers, Ipv4EntriesInOrder)
{
    const QByteArray conf = "# generated\n"
                            "search example.org\n"
                            "nameserver 192.168.1.1\n"
                            "nameserver fe80::1\n"
                            "  nameserver   8.8.8.8  \n"
                            "nameserver 300.1.1.1\n"
                            "#nameserver 9.9.9.9\n";
    EXPECT_EQ(parseNameServers(conf), (QStringList{QStringLiteral("192.168.1.1"), QStringLiteral("8.8.8.8")}));
}

} // namespace

// The bundled ipconfig on unusual machines, read the way the network section
// reads it: the MAC box gets the main wired adapter's address or nothing,
// never a cut that runs on into another adapter's lines.
#include "ipconfig_layout.h"

#include "app/extract_between.h"
#include "support/qt_printers.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::ipconfig;

namespace {

enum class Kind { Wired, Wireless, Other };
enum class Link { Up, Down };

struct Nic {
    int index;
    const char* name;
    Kind kind;
    const char* mac; // hex, or "" for none
    Link link = Link::Up;
    bool defaultRoute = false;
    QString description = {};
};

std::vector<Adapter> machine(std::initializer_list<Nic> nics, bool withLoopback = true)
{
    std::vector<Adapter> adapters;
    if (withLoopback) {
        Adapter lo;
        lo.index = 1;
        lo.name = QStringLiteral("lo");
        lo.loopback = true;
        lo.up = true;
        lo.ipv4 = {{QStringLiteral("127.0.0.1"), QStringLiteral("255.0.0.0")}};
        adapters.push_back(lo);
    }
    for (const Nic& n : nics) {
        Adapter a;
        a.index = n.index;
        a.name = QString::fromLatin1(n.name);
        a.ethernet = n.kind == Kind::Wired;
        a.wireless = n.kind == Kind::Wireless;
        a.mac = QByteArray::fromHex(n.mac);
        a.up = n.link == Link::Up;
        a.defaultRoute = n.defaultRoute;
        a.description = n.description;
        if (a.up)
            a.ipv4 = {{QStringLiteral("10.0.%1.2").arg(n.index), QStringLiteral("255.255.255.0")}};
        adapters.push_back(a);
    }
    return adapters;
}

// The network section's two cuts and the trim of the line end.
QString macBox(const QString& output)
{
    QString s = ExtractBetween(output, QStringLiteral("Local Area Connection"), QStringLiteral("IP"));
    s = ExtractBetween(s, QStringLiteral("Physical Address. . . . . . . . . : "), QStringLiteral("        Dhcp"));
    return s.size() >= 2 ? s.left(s.size() - 2) : QString();
}

QStringList titles(const QString& output)
{
    static const QRegularExpression title(QStringLiteral("^(\\S.*):\\r$"), QRegularExpression::MultilineOption);
    QStringList found;
    for (auto it = title.globalMatch(output); it.hasNext();)
        found << it.next().captured(1);
    found.removeAll(QStringLiteral("Windows IP Configuration"));
    return found;
}

const QString kLongDescription = QStringLiteral("Realtek Semiconductor Co., Ltd. ") + QString(2000, QLatin1Char('x'));

struct Case {
    const char* name;
    std::vector<Adapter> adapters;
    QString mac;       // what the MAC box shows
    int sections = -1; // adapter sections listed, when checked
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class UnusualMachines : public ::testing::TestWithParam<Case> {};

TEST_P(UnusualMachines, MacBoxHoldsTheMainWiredAddressOrNothing)
{
    const Case& c = GetParam();
    const QString out = formatIpconfig(c.adapters, {}, Layout::All);
    const QString mac = macBox(out);
    EXPECT_EQ(mac, c.mac) << out.toStdString();
    static const QRegularExpression macForm(QStringLiteral("^([0-9A-F]{2}-){5}[0-9A-F]{2}$"));
    EXPECT_TRUE(mac.isEmpty() || macForm.match(mac).hasMatch()) << mac.toStdString();
    if (c.sections >= 0) {
        EXPECT_EQ(titles(out).size(), c.sections) << out.toStdString();
    }
    // Every line is a CR LF line: no stray LF from a name or description.
    EXPECT_EQ(out.count(QLatin1Char('\n')), out.count(QStringLiteral("\r\n")));
}

INSTANTIATE_TEST_SUITE_P(
    Ipconfig, UnusualMachines,
    ::testing::Values(
        Case{"loopback_only", machine({}), "", 0},
        Case{"no_adapters_at_all", machine({}, false), "", 0},
        Case{"tunnels_only", machine({{4, "wg0", Kind::Other, ""}, {5, "tun0", Kind::Other, ""}}), "", 2},
        Case{"wireless_only_two_radios",
             machine({{2, "wlp2s0", Kind::Wireless, "020000000002", Link::Up, true},
                      {3, "wlx00c0ca", Kind::Wireless, "020000000003", Link::Down}}),
             "", 2},
        // A laptop on its radio with the Ethernet port unplugged: the
        // disconnected section has no Dhcp line of its own.
        Case{"wired_down_wireless_up",
             machine({{2, "enp0s31f6", Kind::Wired, "020000000002", Link::Down},
                      {3, "wlp2s0", Kind::Wireless, "020000000003", Link::Up, true}}),
             "", 2},
        Case{"wired_down_tunnel_up",
             machine({{2, "eth0", Kind::Wired, "020000000002", Link::Down}, {3, "tun0", Kind::Other, ""}}), "", 2},
        Case{"every_wired_down_radio_up",
             machine({{2, "eth0", Kind::Wired, "020000000002", Link::Down},
                      {3, "eth1", Kind::Wired, "020000000003", Link::Down},
                      {4, "wlan0", Kind::Wireless, "020000000004", Link::Up, true}}),
             "", 3},
        // No default route on a wired adapter: a connected one is the main one.
        Case{"first_wired_down_second_up",
             machine({{2, "eth0", Kind::Wired, "020000000002", Link::Down},
                      {3, "eth1", Kind::Wired, "020000000003"},
                      {4, "wlan0", Kind::Wireless, "020000000004", Link::Up, true}}),
             "02-00-00-00-00-03", 3},
        Case{"route_on_the_last_of_eight",
             machine({{2, "eth0", Kind::Wired, "020000000002", Link::Down},
                      {3, "eth1", Kind::Wired, "020000000003"},
                      {4, "eth2", Kind::Wired, "020000000004", Link::Down},
                      {5, "eth3", Kind::Wired, "020000000005"},
                      {6, "wlan0", Kind::Wireless, "020000000006"},
                      {7, "eth4", Kind::Wired, "020000000007"},
                      {8, "tun0", Kind::Other, ""},
                      {9, "eth5", Kind::Wired, "020000000009", Link::Up, true}}),
             "02-00-00-00-00-09", 8},
        Case{"twelve_wired_adapters",
             machine({{2, "eth0", Kind::Wired, "02000000000a"},  {3, "eth1", Kind::Wired, "02000000000b"},
                      {4, "eth2", Kind::Wired, "02000000000c"},  {5, "eth3", Kind::Wired, "02000000000d"},
                      {6, "eth4", Kind::Wired, "02000000000e"},  {7, "eth5", Kind::Wired, "02000000000f"},
                      {8, "eth6", Kind::Wired, "020000000010"},  {9, "eth7", Kind::Wired, "020000000011"},
                      {10, "eth8", Kind::Wired, "020000000012"}, {11, "eth9", Kind::Wired, "020000000013"},
                      {12, "eth10", Kind::Wired, "020000000014"},
                      {13, "eth11", Kind::Wired, "020000000015", Link::Up, true}}),
             "02-00-00-00-00-15", 12},
        // Names at the kernel's limit of 15 characters, and descriptions as
        // long as sysfs hands them out.
        Case{"longest_interface_names",
             machine({{2, "enx00e04c680a1b", Kind::Wired, "00e04c680a1b", Link::Up, true, kLongDescription},
                      {3, "wlx00c0ca9a8b7c", Kind::Wireless, "00c0ca9a8b7c", Link::Up, false, kLongDescription},
                      {4, "wg-office-vpn01", Kind::Other, ""}}),
             "00-E0-4C-68-0A-1B", 3},
        Case{"long_description_on_a_disconnected_main_adapter",
             machine({{2, "eth0", Kind::Wired, "020000000002", Link::Down, false, kLongDescription},
                      {3, "wlan0", Kind::Wireless, "020000000003", Link::Up, true, kLongDescription}}),
             "", 2},
        // "IP" before the physical-address line ends the first cut early.
        Case{"description_holding_IP",
             machine({{2, "eth0", Kind::Wired, "020000000002", Link::Up, true,
                       QStringLiteral("Intel PRO/1000 MT IP Offload Adapter")}}),
             "", 1},
        Case{"wired_without_an_address",
             machine({{2, "veth0", Kind::Wired, "", Link::Up, true}}), "", 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

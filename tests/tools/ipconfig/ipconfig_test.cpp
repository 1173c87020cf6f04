// SPDX-License-Identifier: MIT
// The bundled ipconfig's layout, and what the window's MAC box makes of it.
#include "ipconfig_layout.h"

#include "support/window.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::ipconfig;
using namespace qni::test;

namespace {

enum Kind { Wired, Wireless, Other, Loopback };

struct Nic {
    int index;
    const char* name;
    Kind kind;
    const char* mac = "";
    bool up = true, defaultRoute = false;
    QString description = {};
};

std::vector<Adapter> machine(std::initializer_list<Nic> nics)
{
    std::vector<Adapter> adapters;
    for (const Nic& n : nics) {
        Adapter& a = adapters.emplace_back();
        std::tie(a.index, a.name, a.mac, a.up, a.defaultRoute, a.description) =
            std::tuple(n.index, QString::fromLatin1(n.name), QByteArray::fromHex(n.mac), n.up, n.defaultRoute, n.description);
        std::tie(a.ethernet, a.wireless, a.loopback) = std::tuple(n.kind == Wired, n.kind == Wireless, n.kind == Loopback);
        if (a.up)
            a.ipv4 = {{QStringLiteral("10.0.%1.2").arg(n.index), QStringLiteral("255.255.255.0")}};
    }
    return adapters;
}

TEST(Ipconfig, TheXpLayout)
{
    HostInfo host{QStringLiteral("XPBOX.example.org"), true, {{"enp0s3", "10.0.2.1"}}, {"10.0.2.1", "8.8.8.8"}};
    const QStringList lines = formatIpconfig(machine({{1, "lo", Loopback}, {3, "enp0s8", Wired, "000c294f1a2c", false},
                                                      {2, "enp0s3", Wired, "000c294f1a2b", true, true, "PCNet"}}),
                                             host, Layout::All).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines, (QStringList{
        "", "Windows IP Configuration", "",
        "        Host Name . . . . . . . . . . . . : XPBOX",
        "        Primary Dns Suffix  . . . . . . . : example.org",
        "        Node Type . . . . . . . . . . . . : Unknown",
        "        IP Routing Enabled. . . . . . . . : Yes",
        "        WINS Proxy Enabled. . . . . . . . : No",
        "", "Ethernet adapter Local Area Connection:", "",
        "        Connection-specific DNS Suffix  . : ",
        "        Description . . . . . . . . . . . : PCNet",
        "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B",
        "        Dhcp Enabled. . . . . . . . . . . : No",
        "        IP Address. . . . . . . . . . . . : 10.0.2.2",
        "        Subnet Mask . . . . . . . . . . . : 255.255.255.0",
        "        Default Gateway . . . . . . . . . : 10.0.2.1",
        "        DNS Servers . . . . . . . . . . . : 10.0.2.1",
        "                                            8.8.8.8",
        "", "Ethernet adapter Local Area Connection 2:", "",
        "        Media State . . . . . . . . . . . : Media disconnected",
        "        Description . . . . . . . . . . . : enp0s8",
        "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2C", ""}));
}

// The MAC box after the window's network section has cut the output.
QString macBox(const QString& output)
{
    TestWindow t(withOutput(describedPlatform({}), output.toUtf8()));
    t.network();
    return t.boxes().txtMac.get();
}

TEST(Ipconfig, TheMacBoxHoldsTheMainWiredAdapterOrNothing)
{
    const QString longDescription = QStringLiteral("Realtek ") + QString(2000, QLatin1Char('x'));
    const std::tuple<std::vector<Adapter>, const char*, QStringList> cases[] = {
        {machine({{9, "veth1a2b", Wired, "02000000000a"}, {2, "eno1", Wired, "020000000001", false}, {1, "lo", Loopback},
                  {3, "eno2", Wired, "020000000002", true, true, longDescription}, {4, "wlp2s0", Wireless, "020000000003"},
                  {7, "wg0", Other}, {8, "wlx00c0ca", Wireless, "020000000006"}}),
         "02-00-00-00-00-02",
         {"Local Area Connection", "Local Area Connection 2", "Wireless Network Connection", "PPP adapter wg0",
          "Wireless Network Connection 2", "Local Area Connection 3"}},
        // Without a default route on a wired adapter: the first connected one.
        {machine({{3, "eth1", Wired, "020000000003"}, {2, "eth0", Wired, "020000000002"}}), "02-00-00-00-00-02", {}},
        {machine({{2, "eth0", Wired, "020000000002", false}, {3, "eth1", Wired, "020000000003"},
                  {4, "wlan0", Wireless, "020000000004", true, true}}), "02-00-00-00-00-03", {}},
        // No wired adapter connected: XP writes no Dhcp line for it, so its
        // section comes last and the cut finds nothing rather than running on.
        {machine({{2, "eth0", Wired, "020000000002", false}, {3, "wlan0", Wireless, "020000000003", true, true}}), "",
         {"Wireless Network Connection", "Local Area Connection"}},
        {machine({{2, "wlan0", Wireless, "020000000002", true, true}}), "", {}},
        // "IP" in the description ends the first cut before the address.
        {machine({{2, "eth0", Wired, "020000000002", true, true, "Intel PRO/1000 MT IP Offload Adapter"}}), "", {}},
    };
    static const QRegularExpression title(QStringLiteral("^(?:Ethernet adapter )?(\\S.*):\\r$"), QRegularExpression::MultilineOption);
    for (const auto& [adapters, mac, titles] : cases) {
        const QString out = formatIpconfig(adapters, {}, Layout::All);
        EXPECT_EQ(macBox(out), mac) << out.toStdString();
        QStringList found;
        for (auto it = title.globalMatch(out); it.hasNext();)
            found << it.next().captured(1);
        EXPECT_TRUE(titles.isEmpty() || found == titles) << found.join('|').toStdString();
        EXPECT_FALSE(out.contains(QStringLiteral("127.0.0.1")));
        EXPECT_EQ(out.count(QLatin1Char('\n')), out.count(QStringLiteral("\r\n")));
    }
}

} // namespace

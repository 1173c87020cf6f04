// SPDX-License-Identifier: MIT
// The bundled ipconfig's layout, and what the window's MAC box makes of it.
#include "ipconfig_layout.h"

#include "support/machine.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::ipconfig;
using namespace qni::test;

namespace {

enum Kind { Wired, Wireless, Other, Loopback };

// An adapter that has an address when it is up.
Adapter nic(int index, const char* name, Kind kind, const char* mac = "", bool up = true, bool defaultRoute = false,
            const QString& description = {})
{
    Adapter a{QString::fromLatin1(name), index, QByteArray::fromHex(mac), {}, up, kind == Loopback, kind == Wireless,
              kind == Wired, defaultRoute, description};
    if (up)
        a.ipv4 = {{QStringLiteral("10.0.%1.2").arg(index), QStringLiteral("255.255.255.0")}};
    return a;
}
using Machine = std::vector<Adapter>;

TEST(Ipconfig, TheXpLayout)
{
    const HostInfo host{QStringLiteral("XPBOX.example.org"), true, {{"enp0s3", "10.0.2.1"}}, {"10.0.2.1", "8.8.8.8"}};
    const Machine adapters = {nic(1, "lo", Loopback), nic(3, "enp0s8", Wired, "000c294f1a2c", false),
                              nic(2, "enp0s3", Wired, "000c294f1a2b", true, true, "PCNet")};
    const QStringList lines = formatIpconfig(adapters, host, Layout::All).split(QStringLiteral("\r\n"));
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
    PlainWindow t(withOutput(describedPlatform(Json::object()), output.toStdString()));
    t.network();
    return toQt(t.b.txtMac.get());
}

TEST(Ipconfig, TheMacBoxHoldsTheMainWiredAdapterOrNothing)
{
    const QString longDescription = QStringLiteral("Realtek ") + QString(2000, QLatin1Char('x'));
    const std::tuple<Machine, const char*, QStringList> cases[] = {
        {{nic(9, "veth1a2b", Wired, "02000000000a"), nic(2, "eno1", Wired, "020000000001", false), nic(1, "lo", Loopback),
          nic(3, "eno2", Wired, "020000000002", true, true, longDescription), nic(4, "wlp2s0", Wireless, "020000000003"),
          nic(7, "wg0", Other), nic(8, "wlx00c0ca", Wireless, "020000000006")},
         "02-00-00-00-00-02",
         {"Local Area Connection", "Local Area Connection 2", "Wireless Network Connection", "PPP adapter wg0",
          "Wireless Network Connection 2", "Local Area Connection 3"}},
        // Without a default route on a wired adapter: the first connected one.
        {{nic(3, "eth1", Wired, "020000000003"), nic(2, "eth0", Wired, "020000000002")}, "02-00-00-00-00-02", {}},
        {{nic(2, "eth0", Wired, "020000000002", false), nic(3, "eth1", Wired, "020000000003"),
          nic(4, "wlan0", Wireless, "020000000004", true, true)}, "02-00-00-00-00-03", {}},
        // No wired adapter connected: XP writes no Dhcp line for it, so its
        // section comes last and the cut finds nothing rather than running on.
        {{nic(2, "eth0", Wired, "020000000002", false), nic(3, "wlan0", Wireless, "020000000003", true, true)}, "",
         {"Wireless Network Connection", "Local Area Connection"}},
        {{nic(2, "wlan0", Wireless, "020000000002", true, true)}, "", {}},
        // "IP" in the description ends the first cut before the address.
        {{nic(2, "eth0", Wired, "020000000002", true, true, "Intel PRO/1000 MT IP Offload Adapter")}, "", {}},
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

// SPDX-License-Identifier: MIT
// The IP Information frame as the window's network section fills it, on
// machines whose "ipconfig /all" writes a given output.
#include "support/machine.h"
#include "support/window.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

const QByteArray kXpOutput = "\r\nWindows IP Configuration\r\n\r\nEthernet adapter Local Area Connection:\r\n\r\n"
                             "        Description . . . . . . . . . . . : VMware Accelerated AMD PCNet Adapter\r\n"
                             "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
                             "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
                             "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n";

// The window after its network section ran; a negative chunk: ipconfig cannot be started.
std::unique_ptr<TestWindow> section(const QByteArray& output, int chunk = 256, const QJsonObject& machine = {},
                                    const QString& earlierPage = {})
{
    Platform p = describedPlatform(machine);
    p.processes = std::make_shared<ScriptedProcesses>(output, chunk);
    auto t = std::make_unique<TestWindow>(p);
    t->boxes().txtOutput.set(QString::fromLatin1(kXpOutput)); // an earlier run's
    t->boxes().txtIP.set(earlierPage);
    t->network();
    return t;
}

TEST(NetworkSection, TheMacAddressCutFromTheOutput)
{
    QByteArray hugeMac = kXpOutput;
    hugeMac.replace("00-0C-29-4F-1A-2B", QByteArray(40000, 'A')); // beyond the 16-bit range
    const std::pair<QByteArray, const char*> cases[] = {
        {kXpOutput, "00-0C-29-4F-1A-2B"},
        {QByteArray(kXpOutput).replace("\r\n", "\n"), "00-0C-29-4F-1A-2B"},
        {QByteArray(kXpOutput).replace("        Dhcp", "   Dhcp"), ""},
        {hugeMac, ""},
        {"", ""},
    };
    for (const auto& [output, mac] : cases)
        for (const int chunk : {1, 7, 256})
            EXPECT_EQ(section(output, chunk)->boxes().txtMac.get(), mac) << "in pieces of " << chunk;
    // A command that cannot start leaves the earlier output to be cut.
    EXPECT_EQ(section("", -1)->boxes().txtMac.get(), "00-0C-29-4F-1A-2B");
}

TEST(NetworkSection, TheAddressesAndTheMasksOfTheLastEnabledAdapter)
{
    const QJsonArray adapters = {
        QJsonObject{{"IPEnabled", true}, {"IPSubnet", QJsonArray{"255.0.0.0"}}},
        QJsonObject{{"IPEnabled", true}, {"IPSubnet", QJsonArray{"255.255.255.0", "255.255.0.0"}}},
        QJsonObject{{"IPEnabled", true}, {"IPSubnet", QJsonValue::Null}}, // cannot be joined: the box keeps the above
        QJsonObject{{"IPEnabled", false}, {"IPSubnet", QJsonArray{"255.255.255.252"}}},
    };
    const auto t = section(kXpOutput, 256, {{"management", QJsonObject{{"Win32_NetworkAdapterConfiguration", adapters}}},
                                            {"localAddress", "192.168.1.10"}});
    EXPECT_EQ(t->boxes().txtMask.get(), "255.255.255.0 255.255.0.0");
    EXPECT_EQ(t->boxes().txtNETIP.get(), "192.168.1.10");

    const std::pair<QJsonValue, const char*> pages[] = {
        {"81.2.3.4", "81.2.3.4"},
        {"<a onclick=\"displaycopy('81.2.3.4')\">", "81.2.3.4"},
        {"x('a') displaycopy('81.2.3.4')", "a"},
        {"<p>('81.2.3.4')</p>", "<p>('81.2.3.4')</p>"},
        {QJsonValue::Null, ""}, // a failed fetch shows no earlier page
    };
    for (const auto& [page, shown] : pages)
        EXPECT_EQ(section(kXpOutput, 256, {{"publicPage", page}}, "10.9.8.7")->boxes().txtINTIP.get(), shown);
}

} // namespace

// SPDX-License-Identifier: MIT
// The IP Information frame as the window's network section fills it, on
// machines whose "ipconfig /all" writes a given output.
#include "app/output_collection.h"
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

// The window after its network section ran, and what the section reported.
struct Section {
    std::unique_ptr<TestWindow> t;
    GatherOutcome outcome;
    QString reason(Fact fact) const { return reasonOf(outcome, fact); }
};
Section section(const QByteArray& output, int chunk = 256, const QJsonObject& machine = {}, const QString& earlierPage = {})
{
    auto t = std::make_unique<TestWindow>(withOutput(describedPlatform(machine), output, chunk));
    t->boxes().txtOutput.set(QString::fromLatin1(kXpOutput)); // an earlier run's
    t->boxes().txtIP.set(earlierPage);
    const GatherOutcome outcome = t->network();
    return {std::move(t), outcome};
}

TEST(NetworkSection, TheMacAddressCutFromTheOutput)
{
    QByteArray hugeMac = kXpOutput;
    hugeMac.replace("00-0C-29-4F-1A-2B", QByteArray(40000, 'A')); // beyond the 16-bit range
    const QString noAddress = "ipconfig /all shows no physical address for Local Area Connection";
    const QString layout = "ipconfig /all shows the physical address in an unexpected layout";
    const std::tuple<QByteArray, const char*, QString> cases[] = {
        {kXpOutput, "00-0C-29-4F-1A-2B", {}},
        {QByteArray(kXpOutput).replace("\r\n", "\n"), "00-0C-29-4F-1A-2B", {}},
        {QByteArray(kXpOutput).replace("2B\r\n", "2B"), "", layout}, // no line end: no guess at the last digits
        {QByteArray(kXpOutput).replace("2B\r\n", "2B\r\n\r\n"), "", layout},
        {QByteArray(kXpOutput).replace("        Dhcp", "   Dhcp"), "", noAddress},
        {hugeMac, "", noAddress},
        {"", "", {}},
    };
    for (const auto& [output, mac, failure] : cases)
        for (const int chunk : {1, 7, 256}) {
            const Section s = section(output, chunk);
            EXPECT_EQ(s.t->boxes().txtMac.get() + '|' + s.reason(Fact::MacAddress), mac + ('|' + failure))
                << "in pieces of " << chunk;
        }
    // A command that cannot start leaves the earlier output to be cut, and
    // the run failed all the same.
    const Section failed = section("", -1);
    EXPECT_EQ(failed.t->boxes().txtMac.get() + '|' + failed.reason(Fact::MacAddress),
              "00-0C-29-4F-1A-2B|ipconfig /all could not be run (CreateProcess failed)");
    // Output beyond what the box takes gives no address, however it starts.
    const Section endless = section(kXpOutput + QByteArray(kOutputLimit, 'x'));
    EXPECT_EQ(endless.t->boxes().txtMac.get() + '|' + endless.reason(Fact::MacAddress),
              "|ipconfig /all printed more than 16 MiB");
}

TEST(NetworkSection, TheAddressesAndTheMasksOfTheAdapterWithTheLocalAddressElseOfTheLastOne)
{
    const auto adapter = [](const QJsonValue& addresses, const QJsonValue& masks) {
        return QJsonObject{{"IPEnabled", true}, {"IPAddress", addresses}, {"IPSubnet", masks}};
    };
    const QJsonValue last = QJsonArray{"255.255.255.0", "255.255.0.0"};
    const QString unread = "the last adapter's masks could not be read (invalid use of Null)";
    const std::tuple<QJsonArray, const char*, QString> cases[] = {
        {{adapter({}, QJsonArray{"255.0.0.0"}), adapter({}, last),
          QJsonObject{{"IPEnabled", false}, {"IPSubnet", QJsonArray{"255.255.255.252"}}}}, "255.255.255.0 255.255.0.0", {}},
        {{adapter({}, QJsonValue::Null), adapter({}, last)}, "255.255.255.0 255.255.0.0", {}},
        {{adapter({}, last), adapter({}, QJsonValue::Null)}, "255.255.255.0 255.255.0.0", unread},
        // The adapter whose list holds the address itself, not one that starts with it.
        {{adapter(QJsonArray{"10.0.0.10", "10.0.0.11"}, QJsonArray{"255.0.0.0"}), adapter(QJsonArray{"10.0.0.1"}, last),
          adapter("10.0.0.10", QJsonArray{"255.255.255.252"})}, "255.255.255.0 255.255.0.0", {}},
    };
    for (const auto& [adapters, masks, failure] : cases) {
        const Section s = section(kXpOutput, 256, {{"management", QJsonObject{{"Win32_NetworkAdapterConfiguration", adapters}}},
                                                   {"localAddress", "10.0.0.1"}});
        EXPECT_EQ(s.t->boxes().txtMask.get() + '|' + s.reason(Fact::SubnetMask), masks + ('|' + failure));
        EXPECT_EQ(s.t->boxes().txtNETIP.get(), "10.0.0.1");
    }
}

TEST(NetworkSection, ThePageCountsOnlyAsOneAddressOrAsTheCutOfADisplaycopyPage)
{
    const QString notOne = "the page holds no address (its text is not one IPv4 or IPv6 address)";
    const std::tuple<QJsonValue, QString, QString> pages[] = {
        {"81.2.3.4", "81.2.3.4", {}},
        {" 2001:db8::1\r\n", "2001:db8::1", {}},
        {"81.2.3.4\n10.0.0.1\n", "", notOne},
        {"<html><form>Log in to continue</form></html>", "", notOne},
        {" \n", "", "the page holds no address (it is empty)"},
        {"<p>('81.2.3.4')</p>", "", notOne},
        {"<a onclick=\"displaycopy('81.2.3.4')\">", "81.2.3.4", {}},
        {"x('a') displaycopy('81.2.3.4')", "a", {}},
        {"displaycopy('81.2\n.3.4\u2066')", QString::fromUtf16(u"81.2\ufffd.3.4\ufffd"), {}},
        {"displaycopy()", "", "the page holds no address"},
        {QJsonValue::Null, "", "the page could not be fetched (cannot connect)"}, // no earlier page
    };
    for (const auto& [page, shown, failure] : pages) {
        const Section s = section(kXpOutput, 256, {{"publicPage", page}}, "10.9.8.7");
        EXPECT_EQ(s.t->boxes().txtINTIP.get() + '|' + s.reason(Fact::InternetAddress), shown + '|' + failure)
            << page.toString().toStdString();
        EXPECT_EQ(s.t->boxes().txtIP.get(), shown);
    }
}

} // namespace

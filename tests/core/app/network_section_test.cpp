// SPDX-License-Identifier: MIT
// The IP Information frame as the window's network section fills it, on
// machines whose "ipconfig /all" writes a given output.
#include "app/output_collection.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

const std::string kXpOutput = "\r\nWindows IP Configuration\r\n\r\nEthernet adapter Local Area Connection:\r\n\r\n"
                              "        Description . . . . . . . . . . . : VMware Accelerated AMD PCNet Adapter\r\n"
                              "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
                              "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
                              "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n";

std::string replacedIn(std::string s, const std::string& from, const std::string& to)
{
    return toUtf8(replaced(fromUtf8(s), fromUtf8(from), fromUtf8(to)));
}

// The window after its network section ran, and what the section reported:
// "<box>|<reason>".
struct Section {
    std::unique_ptr<PlainWindow> t;
    GatherOutcome outcome;
    std::string shown(const TextSlot& box, Fact fact) const
    {
        return toUtf8(box.get()) + '|' + toUtf8(reasonOf(outcome, fact));
    }
};
Section section(const std::string& output, int chunk = 256, const Json& machine = Json::object(), const Text& earlierPage = {})
{
    auto t = std::make_unique<PlainWindow>(withOutput(describedPlatform(machine), output, chunk));
    t->b.txtOutput.set(fromUtf8(kXpOutput)); // an earlier run's
    t->b.txtIP.set(earlierPage);
    const GatherOutcome outcome = t->network();
    return {std::move(t), outcome};
}

TEST(NetworkSection, TheMacAddressCutFromTheOutput)
{
    const std::string noAddress = "ipconfig /all shows no physical address for Local Area Connection";
    const std::string layout = "ipconfig /all shows the physical address in an unexpected layout";
    const std::tuple<std::string, const char*, std::string> cases[] = {
        {kXpOutput, "00-0C-29-4F-1A-2B", {}},
        {replacedIn(kXpOutput, "\r\n", "\n"), "00-0C-29-4F-1A-2B", {}},
        {replacedIn(kXpOutput, "2B\r\n", "2B"), "", layout}, // no line end: no guess at the last digits
        {replacedIn(kXpOutput, "2B\r\n", "2B\r\n\r\n"), "", layout},
        {replacedIn(kXpOutput, "        Dhcp", "   Dhcp"), "", noAddress},
        {replacedIn(kXpOutput, "00-0C-29-4F-1A-2B", std::string(40000, 'A')), "", noAddress}, // beyond the 16-bit range
        {"", "", {}},
    };
    for (const auto& [output, mac, failure] : cases)
        for (const int chunk : {1, 7, 256}) {
            const Section s = section(output, chunk);
            EXPECT_EQ(s.shown(s.t->b.txtMac, Fact::MacAddress), mac + ('|' + failure)) << "in pieces of " << chunk;
        }
    // A command that cannot start leaves the earlier output to be cut, and
    // the run failed all the same.
    const Section failed = section("", -1);
    EXPECT_EQ(failed.shown(failed.t->b.txtMac, Fact::MacAddress),
              "00-0C-29-4F-1A-2B|ipconfig /all could not be run (CreateProcess failed)");
    // Output beyond what the box takes gives no address, however it starts.
    const Section endless = section(kXpOutput + std::string(kOutputLimit, 'x'));
    EXPECT_EQ(endless.shown(endless.t->b.txtMac, Fact::MacAddress), "|ipconfig /all printed more than 16 MiB");
}

TEST(NetworkSection, TheAddressesAndTheMasksOfTheAdapterWithTheLocalAddressElseOfTheLastOne)
{
    const auto adapter = [](const Json& addresses, const Json& masks) {
        return Json{{"IPEnabled", true}, {"IPAddress", addresses}, {"IPSubnet", masks}};
    };
    const Json last = Json::array({"255.255.255.0", "255.255.0.0"});
    const std::string unread = "the last adapter's masks could not be read (invalid use of Null)";
    const std::tuple<Json, const char*, std::string> cases[] = {
        {Json::array({adapter(nullptr, Json::array({"255.0.0.0"})), adapter(nullptr, last),
                      {{"IPEnabled", false}, {"IPSubnet", Json::array({"255.255.255.252"})}}}), "255.255.255.0 255.255.0.0", {}},
        {Json::array({adapter(nullptr, nullptr), adapter(nullptr, last)}), "255.255.255.0 255.255.0.0", {}},
        {Json::array({adapter(nullptr, last), adapter(nullptr, nullptr)}), "255.255.255.0 255.255.0.0", unread},
        // The adapter whose list holds the address itself, not one that starts with it.
        {Json::array({adapter(Json::array({"10.0.0.10", "10.0.0.11"}), Json::array({"255.0.0.0"})),
                      adapter(Json::array({"10.0.0.1"}), last), adapter("10.0.0.10", Json::array({"255.255.255.252"}))}),
         "255.255.255.0 255.255.0.0", {}},
    };
    for (const auto& [adapters, masks, failure] : cases) {
        const Section s = section(kXpOutput, 256, {{"management", {{"Win32_NetworkAdapterConfiguration", adapters}}},
                                                   {"localAddress", "10.0.0.1"}});
        EXPECT_EQ(s.shown(s.t->b.txtMask, Fact::SubnetMask), masks + ('|' + failure));
        EXPECT_EQ(s.t->b.txtNETIP.get(), u"10.0.0.1");
    }
}

TEST(NetworkSection, ThePageCountsOnlyAsOneAddressOrAsTheCutOfADisplaycopyPage)
{
    const std::string notOne = "the page holds no address (its text is not one IPv4 or IPv6 address)";
    const std::tuple<Json, std::string, std::string> pages[] = {
        {"81.2.3.4", "81.2.3.4", {}},
        {" 2001:db8::1\r\n", "2001:db8::1", {}},
        {"81.2.3.4\n10.0.0.1\n", "", notOne},
        {"<html><form>Log in to continue</form></html>", "", notOne},
        {" \n", "", "the page holds no address (it is empty)"},
        {"<p>('81.2.3.4')</p>", "", notOne},
        {"<a onclick=\"displaycopy('81.2.3.4')\">", "81.2.3.4", {}},
        {"x('a') displaycopy('81.2.3.4')", "a", {}},
        {"displaycopy('81.2\n.3.4\u2066')", "81.2\ufffd.3.4\ufffd", {}},
        {"displaycopy()", "", "the page holds no address"},
        {nullptr, "", "the page could not be fetched (cannot connect)"}, // no earlier page
    };
    for (const auto& [page, shown, failure] : pages) {
        const Section s = section(kXpOutput, 256, {{"publicPage", page}}, u"10.9.8.7");
        EXPECT_EQ(s.shown(s.t->b.txtINTIP, Fact::InternetAddress), shown + '|' + failure) << page.dump();
        EXPECT_EQ(toUtf8(s.t->b.txtIP.get()), shown);
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// Fetches from the loopback server of http_fixture.py, whose ports it reads
// from the file the fixture leaves in the working directory.
#include "base/event_pump.h"
#include "base/variant.h"
#include "platform/network.h"
#include "windows_services.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <string>

using namespace qni;
using namespace std::chrono_literals;

namespace {

// A window's pump has no events here; it counts its rounds.
class CountingPump final : public EventPump {
public:
    void processEvents() override { ++rounds; }
    void waitUntil(const std::function<bool()>& done) override
    {
        for (; !done(); Sleep(2))
            processEvents();
    }
    int rounds = 0;
};

struct Ports {
    int http = 0;
    int https = 0;
    Ports() { std::ifstream("qni-test-http-ports") >> http >> https; }
};

// The page's text, or "failed: <why>".
Text fetch(Internet& internet, const Text& url, CountingPump& pump)
{
    try {
        return internet.openUrl(url, pump);
    } catch (const std::exception& e) {
        return u"failed: " + fromUtf8(e.what());
    }
}

} // namespace

TEST(WindowsInternet, FetchesWithinItsBoundsAndTimesOutWhileTheEventsGoOn)
{
    const Ports ports;
    if (!ports.http)
        GTEST_SKIP() << "no loopback server (run through ctest, which starts it)";
    const Text http = u"http://127.0.0.1:" + decimal(ports.http);
    const std::pair<Text, Text> cases[] = {
        {http + u"/page", u"203.0.113.7\n"},
        {http + u"/latin1", u"café"},
        {http + u"/redirect/5", u"203.0.113.7\n"},
        {http + u"/redirect/6", u"failed: too many redirects"},
        {http + u"/big-declared", u"failed: the page is larger than 1024 KiB"},
        {http + u"/big-streamed", u"failed: the page is larger than 1024 KiB"},
        {http + u"/missing", u"failed: the server answered HTTP 404"},
        {http + u"/to-ftp", u"failed: not an http or https address"},
        {u"ftp://127.0.0.1:" + decimal(ports.http) + u"/page", u"failed: not an http or https address"},
        {u"file:///C:/windows/win.ini", u"failed: not an http or https address"},
        {u"https://127.0.0.1:" + decimal(ports.https) + u"/page", u"failed: the server's certificate is not trusted"},
        {u"http://127.0.0.1:1/page", u"failed: could not connect"},
    };
    const auto internet = makeWindowsInternet(1500ms);
    CountingPump pump;
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(toUtf8(fetch(*internet, url, pump)), toUtf8(expected)) << toUtf8(url);

    pump.rounds = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(toUtf8(fetch(*internet, http + u"/silent", pump)), "failed: no answer in time");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1400ms);
    EXPECT_LT(took, 5s);
    EXPECT_GT(pump.rounds, 100); // the wait was spent in the pump
    // The service fetches again after giving up.
    EXPECT_EQ(toUtf8(fetch(*internet, http + u"/page", pump)), "203.0.113.7\n");
}

TEST(DecodePage, ByTheDeclaredCharset)
{
    const std::tuple<std::string, Text, Text> cases[] = {
        {"caf\xC3\xA9", u"text/plain", u"café"},
        {"caf\xE9", u"text/plain; charset=\"ISO-8859-1\"", u"café"},
        {"caf\xE9", u"text/html;charset=windows-1252", u"café"},
        {"\xCF\xF0\xE8", u"text/plain; Charset = windows-1251", u"При"},
        {"\x93\xFA\x96\x7B", u"text/plain; charset=Shift_JIS", u"日本"},
        {"caf\xE9", u"text/plain; charset=x-unknown", u"caf\uFFFD"},
        {"\xE2\x82", u"text/plain; charset=utf-8", u"\uFFFD"},
    };
    for (const auto& [body, contentType, text] : cases)
        EXPECT_EQ(decodePage(body, contentType), text) << toUtf8(contentType);
}

TEST(WindowsSockets, TheLocalAddressIsDottedIPv4)
{
    const Text address = makeWindowsSockets()->localAddress();
    const std::vector<Text> parts = split(address, u'.');
    ASSERT_EQ(parts.size(), 4u) << toUtf8(address);
    for (const Text& part : parts) {
        ASSERT_FALSE(part.empty());
        EXPECT_LE(parseNumber(part), 255) << toUtf8(address);
        EXPECT_EQ(part.find_first_not_of(u"0123456789"), Text::npos) << toUtf8(address);
    }
}

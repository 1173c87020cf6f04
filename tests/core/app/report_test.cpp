// SPDX-License-Identifier: MIT
#include "app/headless_window.h"
#include "app/report.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

using namespace qni;
using qni::test::Json;

constexpr char16_t kLoneHigh = 0xD800;

TEST(Report, TextPrintsEachFactUnderItsCaptionWithFurtherLinesAligned)
{
    const struct {
        Fact fact;
        Text box, lines; // what the box holds, what the report prints for that fact
    } cases[] = {
        {Fact::MemoryChips, u"512 MB Chip\r\n256 MB Chip\r\n", u"Memory Chips: 512 MB Chip\n              256 MB Chip\n"},
        {Fact::MemoryChips, u"a\r\n\r\nb", u"Memory Chips: a\n              \n              b\n"},
        {Fact::MemoryChips, u"", u"Memory Chips: \n"},
        {Fact::MemoryChips, u"a\u2028b\u202e\r\nc", u"Memory Chips: a\ufffdb\ufffd\n              c\n"},
        // Only the memory box has lines: elsewhere a line end or a reordering
        // mark could forge a "Label: value" line or disguise one.
        {Fact::OperatingSystem, u"a\rb\nc\r\nd\u2029\x0b\x0c\u0085\u2066\u061c\u200f",
         u"Operating System: a\ufffdb\ufffdc\ufffd\ufffdd\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd\n"},
        {Fact::Cpu, u"   Pentium  ", u"CPU:    Pentium  \n"},
        // Box texts must not reach the terminal as escape sequences.
        {Fact::SerialNumber, u"\x1b]0;x\x07\tX\x7f\u0085\u00e9", u"Serial Number: \ufffd]0;x\ufffd\tX\ufffd\ufffd\u00e9\n"},
        {Fact::MacAddress, Text{kLoneHigh, u'z'}, u"Mac Address: \ufffdz\n"},
    };
    for (const auto& c : cases) {
        ReportFacts facts;
        facts.texts[static_cast<size_t>(c.fact)] = c.box;
        Text expected;
        for (const FactInfo& info : kFacts)
            expected += info.fact == c.fact ? c.lines : info.caption + Text(u" \n");
        EXPECT_EQ(textReport(facts), toUtf8(expected)) << toUtf8(c.box);
    }
}

TEST(Report, JsonIsValidUtf8WhateverTheBoxesHoldAndKeepsWindowOrder)
{
    static constexpr char16_t kOdd[] = u"quote\" back\\ nul\0 esc\x1b del\x7f c1\u0080\u0085\u009f \u2028 \U0001F600 "
                                       u"bidi\u202e\u2066\u2069\u200e\u061c \u00a0\u00e9";
    PlainBoxes b;
    b.txtOS.set(Text(kOdd, std::size(kOdd) - 1));
    b.txtOSSerial.set(Text{kLoneHigh, 0xDC00, 0xDC00, kLoneHigh});
    b.txtMemory.set(u"512 MB Chip\r\n\r\n1 GB\tChip\n");
    b.txtINTIP.set(u"line\r\n");
    b.lblStatus.set(u"Information Gathered With Errors!");
    GatherOutcome outcome;
    outcome.failures = {{Fact::MacAddress, u"m\u202ex"}, {Fact::MemoryChips, u"r"}, {Fact::MacAddress, u"2nd"}};

    const std::string out = jsonReport(reportFacts(b.boxes, outcome));
    EXPECT_EQ(toUtf8(fromUtf8(out)), out);
    for (const char c : out)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << int(c);
    // DEL, C1, line separators and bidirectional controls stay escaped.
    for (const char* raw : {"\x7f", "\xc2\x80", "\xc2\x85", "\xc2\x9f", "\xe2\x80\xa8", "\xe2\x80\xae", "\xe2\x81\xa6",
                            "\xe2\x81\xa9", "\xe2\x80\x8e", "\xd8\x9c"})
        EXPECT_EQ(out.find(raw), std::string::npos) << raw;
    EXPECT_NE(out.find("\xc2\xa0\xc3\xa9"), std::string::npos) << "printable text stays as it is";

    const Json o = Json::parse(out);
    EXPECT_EQ(o["operating_system"], toUtf8(b.txtOS.get()));
    EXPECT_EQ(o["serial_number"], toUtf8(Text{kLoneHigh, 0xDC00, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(o["memory_chips"], Json::array({"512 MB Chip", "", "1 GB\tChip"}));
    EXPECT_EQ(o["internet_address"], "line\r\n");
    EXPECT_EQ(o["status"], toUtf8(b.lblStatus.get()));
    EXPECT_EQ(o["unavailable"], Json::array({"memory_chips", "mac_address"}));
    EXPECT_EQ(o["reasons"], (Json{{"memory_chips", "r"}, {"mac_address", "m\u202ex"}}));
    EXPECT_LT(out.find("\"memory_chips\":\"r\""), out.find("\"mac_address\":\"m")) << "window order";
    std::vector<std::string> names;
    for (const FactInfo& fact : kFacts)
        names.push_back(fact.jsonName);
    names.insert(names.end(), {"status", "unavailable", "reasons"});
    EXPECT_EQ(o.size(), names.size());
    for (std::size_t i = 1; i < names.size(); ++i)
        EXPECT_LT(out.find('"' + names[i - 1] + "\":"), out.find('"' + names[i] + "\":")) << names[i];
}

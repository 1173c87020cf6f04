// SPDX-License-Identifier: MIT
#include "base/int16.h"
#include "base/ip_address.h"
#include "base/one_line.h"
#include "base/variant.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <random>

using namespace qni;

TEST(Int16, EveryResultMustFit)
{
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_EQ(mul16(3276, 10), 32760);
    EXPECT_EQ(sub16(5, 7), -2);
    for (const auto& overflow : std::initializer_list<std::function<Int16()>>{
             [] { return toInt16(32768); }, [] { return toInt16(-32769); }, [] { return mul16(-3277, 10); },
             [] { return add16(32767, 1); }})
        EXPECT_THROW(overflow(), StepFailed);
}

TEST(Variant, GeneralNumberFormat)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const std::tuple<double, const char*, const char*> cases[] = {
        {953.67431640625, "953.67431640625", "953,67431640625"},
        {0.1 + 0.2, "0.3", "0,3"}, // 15 significant digits hide the binary error
        {123456789012345, "123456789012345", "123456789012345"}, // no grouping
        {1e15, "1E+15", "1E+15"},
        {0.0001, "0.0001", "0,0001"},
        {0.00001, "1E-05", "1E-05"},
        {-0.0, "0", "0"},
    };
    for (const auto& [value, c, inGerman] : cases) {
        EXPECT_EQ(formatGeneral(value, QLocale::c()), c);
        EXPECT_EQ(formatGeneral(value, german), inGerman);
    }
}

TEST(Variant, TextRules)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(Variant().toText(c), QString());
    EXPECT_EQ(Variant::text(QStringLiteral("  a\r\n")).toText(c), "  a\r\n");
    EXPECT_EQ(Variant::boolean(true).toText(c), "True");
    EXPECT_EQ(Variant::null().joinedText(), QString()); // only when joined to other text
    EXPECT_EQ(Variant::boolean(true).toDouble(), -1);
    EXPECT_EQ(Variant::text(QStringLiteral(" 1,5 ")).toDouble(QLocale(QLocale::German)), 1.5);
    for (const auto& fails : std::initializer_list<std::function<void()>>{
             [&] { Variant::null().toText(c); }, [&] { Variant::array({"a"}).joinedText(); },
             [] { Variant::null().join(QStringLiteral(" ")); }, [] { Variant::text(QStringLiteral("x")).join(QStringLiteral(" ")); },
             [] { Variant::text(QStringLiteral("12 MB")).toDouble(); }, [] { Variant::null().toDouble(); }})
        EXPECT_THROW(fails(), StepFailed);
}

namespace {

bool ptonAccepts(const std::u16string& text)
{
    std::string bytes;
    for (const char16_t c : text) {
        if (c == 0 || c > 0x7F)
            return false;
        bytes += char(c);
    }
    unsigned char out[16];
    return inet_pton(AF_INET, bytes.c_str(), out) == 1 || inet_pton(AF_INET6, bytes.c_str(), out) == 1;
}

} // namespace

TEST(IpAddress, TheFormsInetPtonAccepts)
{
    // Every text of up to four pieces, longer forms, and a deterministic
    // stream of short texts over the characters addresses are made of.
    const std::u16string_view pieces[] = {u"0", u"1", u"01", u"255", u"256", u"ffff", u"abcde", u"g", u":",
                                          u"::", u".", u"1.2.3.4", u"%1", u" "};
    std::vector<std::u16string> texts = {u""};
    for (size_t from = 0, length = 0; length < 4; ++length) {
        const size_t to = texts.size();
        for (size_t i = from; i < to; ++i)
            for (const std::u16string_view p : pieces)
                texts.push_back(texts[i] + std::u16string(p));
        from = to;
    }
    texts.insert(texts.end(), {u"255.255.255.255", u"１.2.3.4", u"1.2.3.4\n", u"2001:DB8::ffff", u"1:2:3:4:5:6:7:8",
                               u"1:2:3:4:5:6:7::", u"1:2:3:4:5:6:7:8::", u"1:2:3:4:5:6:7", u"12345::", u"1:2:3:4:5:6:1.2.3.4",
                               u"1:2:3:4:5:6:7:1.2.3.4", u"::1.2.3.04", u"::1.2.3.4:1", u"fe80::1%eth0"});
    std::mt19937 random(1);
    const std::u16string_view alphabet = u"0129af:.:.";
    for (int n = 0; n < 200000; ++n) {
        std::u16string t(random() % 16, u'0');
        for (char16_t& c : t)
            c = alphabet[random() % alphabet.size()];
        texts.push_back(t);
    }
    for (const std::u16string& t : texts)
        ASSERT_EQ(isIpAddress(t), ptonAccepts(t)) << QString::fromStdU16String(t).toStdString();
    EXPECT_EQ(trimmedAsciiSpace(u" \t\r\n1.2.3.4\v\f "), u"1.2.3.4");
}

TEST(OneLine, LineBreaksAndBidiControlsShowAsReplacement)
{
    // Each class's first and last member, and their neighbours that stay.
    const std::u16string_view kept = u"\t\x1b\x1f\x84\x86\u061b\u200d\u2010\u2027\u202f\u2065\u206a\u00e9";
    const std::u16string_view replaced = u"\n\r\v\f\x1c\x1e\x85\u061c\u200e\u200f\u2028\u2029\u202a\u202e\u2066\u2069";
    EXPECT_EQ(onOneLine(kept), kept);
    EXPECT_EQ(onOneLine(replaced), std::u16string(replaced.size(), u'\uFFFD'));
}

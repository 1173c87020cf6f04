// SPDX-License-Identifier: MIT
#include "base/int16.h"
#include "base/ip_address.h"
#include "base/one_line.h"
#include "base/step_failed.h"
#include "base/text.h"
#include "base/variant.h"

#include <gtest/gtest.h>

#if __has_include(<arpa/inet.h>)
#include <arpa/inet.h>
#define QNI_HAVE_INET_PTON 1
#endif

#include <functional>
#include <optional>
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
    const NumberFormat german{u','};
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
        EXPECT_EQ(toUtf8(formatGeneral(value)), c);
        EXPECT_EQ(toUtf8(formatGeneral(value, german)), inGerman);
    }
}

TEST(Variant, TextRules)
{
    EXPECT_EQ(Variant().toText(), u"");
    EXPECT_EQ(Variant::text(u"  a\r\n").toText(), u"  a\r\n");
    EXPECT_EQ(Variant::boolean(true).toText(), u"True");
    EXPECT_EQ(Variant::null().joinedText(), u""); // only when joined to other text
    EXPECT_EQ(Variant::boolean(true).toDouble(), -1);
    EXPECT_EQ(Variant::array({u"a", u"b"}).join(u" "), u"a b");
    for (const auto& fails : std::initializer_list<std::function<void()>>{
             [] { Variant::null().toText(); }, [] { Variant::array({u"a"}).joinedText(); },
             [] { Variant::null().join(u" "); }, [] { Variant::text(u"x").join(u" "); }, [] { Variant::null().toDouble(); }})
        EXPECT_THROW(fails(), StepFailed);
}

TEST(Variant, NumbersReadFromText)
{
    const NumberFormat german{u','};
    // The text, the number in the default format and with a comma; nullopt: not a number.
    const std::tuple<const char16_t*, std::optional<double>, std::optional<double>> cases[] = {
        {u" 1,5 ", std::nullopt, 1.5},
        {u"1.5", 1.5, 1.5}, // the point is understood everywhere
        {u"\t536870912\r\n", 536870912, 536870912},
        {u"+2", 2, 2},
        {u"-1e3", -1000, -1000},
        {u"1,000.5", std::nullopt, std::nullopt},
        {u"12 MB", std::nullopt, std::nullopt},
        {u"", std::nullopt, std::nullopt},
        {u"+-1", std::nullopt, std::nullopt},
        {u"inf", std::nullopt, std::nullopt},
        {u"nan", std::nullopt, std::nullopt},
        {u"0x10", std::nullopt, std::nullopt},
        {u"1e999", std::nullopt, std::nullopt},
        {u"１", std::nullopt, std::nullopt}, // a full-width digit
    };
    for (const auto& [text, plain, withComma] : cases) {
        SCOPED_TRACE(toUtf8(text));
        for (const auto& [format, expected] : {std::pair{NumberFormat{}, plain}, std::pair{german, withComma}}) {
            if (expected)
                EXPECT_EQ(Variant::text(text).toDouble(format), *expected);
            else
                EXPECT_THROW(Variant::text(text).toDouble(format), StepFailed);
        }
    }
}

namespace {

#ifdef QNI_HAVE_INET_PTON
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

#endif

} // namespace

#ifdef QNI_HAVE_INET_PTON
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
        ASSERT_EQ(isIpAddress(t), ptonAccepts(t)) << toUtf8(t);
    EXPECT_EQ(trimmedAsciiSpace(u" \t\r\n1.2.3.4\v\f "), u"1.2.3.4");
}
#endif

TEST(OneLine, LineBreaksAndBidiControlsShowAsReplacement)
{
    // Each class's first and last member, and their neighbours that stay.
    const std::u16string_view kept = u"\t\x1b\x1f\x84\x86\u061b\u200d\u2010\u2027\u202f\u2065\u206a\u00e9";
    const std::u16string_view replaced = u"\n\r\v\f\x1c\x1e\x85\u061c\u200e\u200f\u2028\u2029\u202a\u202e\u2066\u2069";
    EXPECT_EQ(onOneLine(kept), kept);
    EXPECT_EQ(onOneLine(replaced), std::u16string(replaced.size(), u'\uFFFD'));
}

TEST(Text, Utf8BothWays)
{
    // Ill-formed sequences each become one U+FFFD (the maximal valid prefix),
    // and what follows them is read on.
    const std::pair<std::string_view, std::u16string_view> decoded[] = {
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"a\u00e9\u20ac\U0001F600"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},       // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // a surrogate
        {"\xE2\x82x", u"\uFFFDx"},          // cut short
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // beyond U+10FFFF
        {"\xE2", u"\uFFFD"},
    };
    for (const auto& [bytes, text] : decoded)
        EXPECT_EQ(fromUtf8(bytes), text) << bytes;
    EXPECT_EQ(toUtf8(u"a\u00e9\U0001F600"), "a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(toUtf8(std::u16string{u'x', char16_t(0xD800)}), "x\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(std::u16string{char16_t(0xDC00), u'x'}), "\xEF\xBF\xBDx");
}

TEST(Text, PositionsAreOneBased)
{
    EXPECT_EQ(findFrom(u"abcabc", u"bc", 3), 5u);
    EXPECT_EQ(findFrom(u"abc", u"x"), 0u);
    EXPECT_EQ(findFrom(u"abc", u"", 4), 4u);
    EXPECT_EQ(findFrom(u"abc", u"c", 5), 0u);
    EXPECT_EQ(findFrom(u"abc", u"a", 0), 0u);
    EXPECT_EQ(middle(u"abcdef", 2, 3), u"bcd");
    EXPECT_EQ(middle(u"abc", 3), u"c");
    EXPECT_EQ(middle(u"abc", 4, 1), u"");
}

TEST(Text, CaseBlanksAndPieces)
{
    EXPECT_TRUE(equalNoCase(u"Win32_Processor", u"WIN32_PROCESSOR"));
    EXPECT_TRUE(equalNoCase(u"\u00c9T\u00c9", u"\u00e9t\u00e9"));
    EXPECT_FALSE(equalNoCase(u"\u00d7", u"\u00f7")); // the multiplication sign is no letter
    EXPECT_FALSE(equalNoCase(u"ab", u"abc"));
    EXPECT_EQ(trimmed(u"\u00a0\t x y\u3000\r\n"), u"x y");
    EXPECT_EQ(split(u"a  b", u' '), (std::vector<Text>{u"a", u"", u"b"}));
    EXPECT_EQ(split(u"", u' '), (std::vector<Text>{u""}));
    EXPECT_EQ(join({u"a", u"", u"b"}, u", "), u"a, , b");
    EXPECT_EQ(replaced(u"aXbXX", u"X", u"--"), u"a--b----");
    EXPECT_EQ(decimal(-32768), u"-32768");
}

TEST(StepFailed, BecauseReadsAsOneSentence)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"Connection refused.", u"the page could not be fetched (connection refused)"},
        {u"HTTP 404", u"the page could not be fetched (HTTP 404)"},
        {u"CreatePipe failed", u"the page could not be fetched (CreatePipe failed)"},
        {u"  ", u"the page could not be fetched"},
        {u"\u00c9chec", u"the page could not be fetched (\u00e9chec)"},
    };
    for (const auto& [why, sentence] : cases)
        EXPECT_EQ(because(u"the page could not be fetched", why), sentence);
}

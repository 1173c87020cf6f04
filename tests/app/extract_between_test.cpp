#include "app/extract_between.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using qni::ExtractBetween;

namespace {

struct Cut {
    const char* name;
    QString text;
    QString start;
    QString end;
    QString expected;
};

void PrintTo(const Cut& c, std::ostream* os) { *os << c.name; }

QString xs(qsizetype n) { return QString(n, QLatin1Char('x')); }

class ExtractBetweenTable : public ::testing::TestWithParam<Cut> {};

TEST_P(ExtractBetweenTable, Cuts)
{
    const Cut& c = GetParam();
    EXPECT_EQ(ExtractBetween(c.text, c.start, c.end), c.expected);
}

const QString S = QStringLiteral("[");
const QString E = QStringLiteral("]");

INSTANTIATE_TEST_SUITE_P(Markers, ExtractBetweenTable, ::testing::Values(
    Cut{"between", "a[b]c", S, E, "b"},
    Cut{"first_start_first_end_after_it", "(a)(b)", "(", ")", "a"},
    Cut{"end_only_before_start", "x]y[z", S, E, ""},
    Cut{"end_right_after_start", "[]", S, E, ""},
    Cut{"start_ends_the_text", "abc[", S, E, ""},
    Cut{"end_overlapping_start_is_not_found", "xIP", "xI", "IP", ""},
    Cut{"case_matters", "Local area connection:", "Local Area Connection", "IP", ""},
    Cut{"start_absent", "abc]", S, E, ""},
    Cut{"no_end_after_start", "a[bc", S, E, ""},
    Cut{"multi_character_markers", "xx('81.2.3.4')yy", "('", "')", "81.2.3.4"},
    Cut{"empty_text", "", S, E, ""},
    Cut{"mac_line", "Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n        Dhcp Enabled",
        "Physical Address. . . . . . . . . : ", "        Dhcp", "00-0C-29-4F-1A-2B\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Positions are 16-bit: the start position (after the start marker) and the
// end position (where the end marker begins) may be at most 32,767.
INSTANTIATE_TEST_SUITE_P(Positions, ExtractBetweenTable, ::testing::Values(
    // "[" at 32,765: start 32,766, "]" at 32,767.
    Cut{"end_at_32767", xs(32764) + "[b]", S, E, "b"},
    // "[" at 32,766: start 32,767, "]" at 32,768 overflows.
    Cut{"end_at_32768", xs(32765) + "[b]", S, E, ""},
    // "[" at 32,767: start 32,768 overflows, although an end marker follows.
    Cut{"start_at_32768", xs(32766) + "[b]", S, E, ""},
    Cut{"start_far_beyond", xs(100000) + "[b]", S, E, ""},
    Cut{"long_start_marker_overflows", "[" + xs(40000) + "b]", "[" + xs(40000), E, ""},
    // Only the positions are bounded, not the text.
    Cut{"long_text_after_the_cut", "[b]" + xs(100000), S, E, "b"},
    Cut{"end_beyond_in_long_text", "[b" + xs(40000) + "]", S, E, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

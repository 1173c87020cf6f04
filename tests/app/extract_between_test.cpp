// SPDX-License-Identifier: MIT
#include "app/extract_between.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(ExtractBetween, Cuts)
{
    const auto xs = [](qsizetype n) { return QString(n, QLatin1Char('x')); };
    const std::array<QString, 4> cases[] = { // text, start marker, end marker, cut
        {"a[b]c", "[", "]", "b"}, {"xx('81.2.3.4')yy", "('", "')", "81.2.3.4"},
        {"(a)(b)", "(", ")", "a"},  // the first end marker after the first start marker
        {"x]y[z", "[", "]", ""},    // an end marker only before the start
        {"[]b]", "[", "]", ""},     // the end is searched from right after the start...
        {"xIP", "xI", "IP", ""},    // ...marker, not inside it
        {"Local area connection", "Local Area Connection", "IP", ""}, // exact case
        {"abc]", "[", "]", ""}, {"a[bc", "[", "]", ""},
        // Positions are 16-bit: after the start marker and of the end marker at most 32,767.
        {xs(32764) + "[b]", "[", "]", "b"}, {xs(32765) + "[b]", "[", "]", ""}, {xs(32766) + "[b]", "[", "]", ""},
        {"[" + xs(40000) + "b]", "[" + xs(40000), "]", ""}, {"[b" + xs(40000) + "]", "[", "]", ""},
        {"[b]" + xs(100000), "[", "]", "b"}, // only positions are bounded, not the text
    };
    for (const auto& [text, start, end, cut] : cases)
        EXPECT_EQ(ExtractBetween(text, start, end), cut) << text.left(20).toStdString();
}

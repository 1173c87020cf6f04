// SPDX-License-Identifier: MIT
#include "app/extract_between.h"

#include <gtest/gtest.h>

#include <array>

using namespace qni;

TEST(ExtractBetween, Cuts)
{
    const auto xs = [](std::size_t n) { return Text(n, u'x'); };
    const std::array<Text, 4> cases[] = { // text, start marker, end marker, cut
        {u"a[b]c", u"[", u"]", u"b"}, {u"xx('81.2.3.4')yy", u"('", u"')", u"81.2.3.4"},
        {u"(a)(b)", u"(", u")", u"a"},  // the first end marker after the first start marker
        {u"x]y[z", u"[", u"]", u""},    // an end marker only before the start
        {u"[]b]", u"[", u"]", u""},     // the end is searched from right after the start...
        {u"xIP", u"xI", u"IP", u""},    // ...marker, not inside it
        {u"Local area connection", u"Local Area Connection", u"IP", u""}, // exact case
        {u"abc]", u"[", u"]", u""}, {u"a[bc", u"[", u"]", u""},
        // Positions are 16-bit: after the start marker and of the end marker at most 32,767.
        {xs(32764) + u"[b]", u"[", u"]", u"b"}, {xs(32765) + u"[b]", u"[", u"]", u""}, {xs(32766) + u"[b]", u"[", u"]", u""},
        {u"[" + xs(40000) + u"b]", u"[" + xs(40000), u"]", u""}, {u"[b" + xs(40000) + u"]", u"[", u"]", u""},
        {u"[b]" + xs(100000), u"[", u"]", u"b"}, // only positions are bounded, not the text
    };
    for (const auto& [text, start, end, cut] : cases)
        EXPECT_EQ(ExtractBetween(text, start, end), cut) << toUtf8(text.substr(0, 20));
}

// SPDX-License-Identifier: MIT
#include "app/output_collection.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qni;

TEST(OutputView, ChunksAsTheBoxStoresThem)
{
    const std::pair<std::vector<Text>, Text> cases[] = {
        {{u"a\r\nb\r\n"}, u"a\r\nb\r\n"}, {{u"a\nb"}, u"a\r\nb"}, {{u"a\rb"}, u"ab"}, {{u"\r\r\n\n"}, u"\r\n\r\n"},
        {{u"x", u"a\r", u"\nc"}, u"xa\r\nc"}, // CR LF split between two chunks
    };
    for (const auto& [chunks, stored] : cases) {
        Text box;
        for (const Text& chunk : chunks)
            box += normaliseChunk(chunk);
        EXPECT_EQ(box, stored);
    }
}

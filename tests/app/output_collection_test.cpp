// SPDX-License-Identifier: MIT
#include "app/output_collection.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(OutputView, ChunksAsTheBoxStoresThem)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"a\r\nb\r\n"}, "a\r\nb\r\n"}, {{"a\nb"}, "a\r\nb"}, {{"a\rb"}, "ab"}, {{"\r\r\n\n"}, "\r\n\r\n"},
        {{"x", "a\r", "\nc"}, "xa\r\nc"}, // CR LF split between two chunks
    };
    for (const auto& [chunks, stored] : cases) {
        QString box;
        for (const QString& chunk : chunks)
            box += normaliseChunk(chunk);
        EXPECT_EQ(box, stored);
    }
}

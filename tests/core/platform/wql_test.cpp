// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "platform/wql.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(Wql, TheQuerySubset)
{
    for (const char* text : {"SELECT Name FROM C", "SELECT * FROM", "SELECT * FROM C WHERE P = ", "SELECT * FROM C WHERE P = 'open",
                             "SELECT * FROM C WHERE P > 1", "DELETE FROM C"})
        EXPECT_THROW(WqlQuery::parse(fromLatin1(text)), StepFailed) << text;
    const WqlQuery q = WqlQuery::parse(u"SELECT * FROM C WHERE P = 'Abc'");
    EXPECT_TRUE(q.matches(Variant::text(u"aBC")));
    EXPECT_FALSE(q.matches(std::nullopt));
    EXPECT_TRUE(WqlQuery::parse(u"SELECT * FROM C WHERE P = 42").matches(Variant::text(u" 42")));
}

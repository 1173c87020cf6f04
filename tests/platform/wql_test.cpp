// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "platform/wql.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(Wql, TheQuerySubset)
{
    for (const char* text : {"SELECT Name FROM C", "SELECT * FROM", "SELECT * FROM C WHERE P = ", "SELECT * FROM C WHERE P = 'open",
                             "SELECT * FROM C WHERE P > 1", "DELETE FROM C"})
        EXPECT_THROW(WqlQuery::parse(QString::fromLatin1(text)), StepFailed) << text;
    const WqlQuery q = WqlQuery::parse(QStringLiteral("SELECT * FROM C WHERE P = 'Abc'"));
    EXPECT_TRUE(q.matches(Variant::text(QStringLiteral("aBC"))));
    EXPECT_FALSE(q.matches(std::nullopt));
    EXPECT_TRUE(WqlQuery::parse(QStringLiteral("SELECT * FROM C WHERE P = 42")).matches(Variant::text(QStringLiteral(" 42"))));
}

#include "base/int16.h"
#include "base/resume.h"
#include "base/text_slot.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(Resume, FailingStepIsAbandonedAndTheNextRuns)
{
    PlainTextSlot box(QStringLiteral("before"));
    std::vector<int> ran;
    Resume r;
    r([&] { ran.push_back(1); });
    r([&] {
        box.set(QString::number(toInt16(40000))); // fails before the assignment
        ran.push_back(2);
    });
    r([&] { ran.push_back(3); });
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_EQ(box.get(), QStringLiteral("before"));
    EXPECT_EQ(r.failures(), 1);
}

TEST(Int16, Range)
{
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_THROW(toInt16(32768), StepFailed);
    EXPECT_THROW(toInt16(-32769), StepFailed);
    EXPECT_EQ(mul16(3276, 10), 32760);
    EXPECT_THROW(mul16(3277, 10), StepFailed);
    EXPECT_THROW(mul16(-3277, 10), StepFailed);
    EXPECT_THROW(add16(32767, 1), StepFailed);
    EXPECT_EQ(sub16(5, 7), -2);
}

TEST(PlainTextSlot, AppendKeepsEverything)
{
    PlainTextSlot slot;
    slot.set(QStringLiteral("a\r\n"));
    slot.append(QStringLiteral("b"));
    EXPECT_EQ(slot.get(), QStringLiteral("a\r\nb"));
}

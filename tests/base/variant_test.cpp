#include "base/step_failed.h"
#include "base/variant.h"

#include <gtest/gtest.h>

using namespace qni;

struct GeneralCase {
    double value;
    const char* c;      // C / English locale
    const char* german; // decimal comma
};

class GeneralFormat : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralFormat, ShortestFormWithFifteenDigits)
{
    const auto& c = GetParam();
    EXPECT_EQ(formatGeneral(c.value, QLocale::c()), QString::fromUtf8(c.c));
    EXPECT_EQ(formatGeneral(c.value, QLocale(QLocale::German, QLocale::Germany)), QString::fromUtf8(c.german));
}

INSTANTIATE_TEST_SUITE_P(Table, GeneralFormat, ::testing::Values(
    GeneralCase{512, "512", "512"},
    GeneralCase{1024, "1024", "1024"},
    GeneralCase{953.67431640625, "953.67431640625", "953,67431640625"},
    GeneralCase{0.1 + 0.2, "0.3", "0,3"},                 // 15 significant digits hide the binary error
    GeneralCase{1.0 / 3, "0.333333333333333", "0,333333333333333"},
    GeneralCase{2992, "2992", "2992"},
    GeneralCase{123456789012345, "123456789012345", "123456789012345"}, // no grouping
    GeneralCase{1e15, "1E+15", "1E+15"},
    GeneralCase{0.0001, "0.0001", "0,0001"},
    GeneralCase{0.00001, "1E-05", "1E-05"},
    GeneralCase{-2.5, "-2.5", "-2,5"},
    GeneralCase{-0.0, "0", "0"},
    GeneralCase{0, "0", "0"}));

TEST(Variant, TextRules)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(Variant().toText(c), QString());
    EXPECT_EQ(Variant::text(QStringLiteral("  a\r\n")).toText(c), QStringLiteral("  a\r\n"));
    EXPECT_EQ(Variant::number(2992).toText(c), QStringLiteral("2992"));
    EXPECT_EQ(Variant::boolean(true).toText(c), QStringLiteral("True"));
    EXPECT_THROW(Variant::null().toText(c), StepFailed);
    EXPECT_THROW(Variant::array({QStringLiteral("a")}).toText(c), StepFailed);
}

TEST(Variant, NullJoinsAsEmptyButArraysStillFail)
{
    EXPECT_EQ(Variant::null().joinedText() + QStringLiteral(" Mhz"), QStringLiteral(" Mhz"));
    EXPECT_THROW(Variant::array({QStringLiteral("a")}).joinedText(), StepFailed);
}

TEST(Variant, ArraysJoinExplicitly)
{
    const Variant masks = Variant::array({QStringLiteral("255.255.255.0"), QStringLiteral("255.255.0.0")});
    EXPECT_EQ(masks.join(QStringLiteral(" ")), QStringLiteral("255.255.255.0 255.255.0.0"));
    EXPECT_EQ(Variant::array({}).join(QStringLiteral(" ")), QString());
    EXPECT_THROW(Variant::null().join(QStringLiteral(" ")), StepFailed);
    EXPECT_THROW(Variant::text(QStringLiteral("x")).join(QStringLiteral(" ")), StepFailed);
}

TEST(Variant, Arithmetic)
{
    EXPECT_EQ(Variant().toDouble(), 0);
    EXPECT_EQ(Variant::text(QStringLiteral(" 536870912 ")).toDouble(QLocale::c()), 536870912.0);
    EXPECT_EQ(Variant::text(QStringLiteral("1,5")).toDouble(QLocale(QLocale::German)), 1.5);
    EXPECT_THROW(Variant::text(QString()).toDouble(), StepFailed);
    EXPECT_THROW(Variant::text(QStringLiteral("12 MB")).toDouble(), StepFailed);
    EXPECT_THROW(Variant::null().toDouble(), StepFailed);
}

// SPDX-License-Identifier: MIT
#include "base/int16.h"
#include "base/variant.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

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
    const QLocale german(QLocale::German, QLocale::Germany);
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
        EXPECT_EQ(formatGeneral(value, QLocale::c()), c);
        EXPECT_EQ(formatGeneral(value, german), inGerman);
    }
}

TEST(Variant, TextRules)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(Variant().toText(c), QString());
    EXPECT_EQ(Variant::text(QStringLiteral("  a\r\n")).toText(c), "  a\r\n");
    EXPECT_EQ(Variant::number(2992).toText(c), "2992");
    EXPECT_EQ(Variant::boolean(true).toText(c), "True");
    EXPECT_EQ(Variant::null().joinedText(), QString()); // only when joined to other text
    EXPECT_EQ(Variant::array({"255.0.0.0", "255.255.0.0"}).join(QStringLiteral(" ")), "255.0.0.0 255.255.0.0");
    EXPECT_EQ(Variant::boolean(true).toDouble(), -1);
    EXPECT_EQ(Variant::text(QStringLiteral(" 1,5 ")).toDouble(QLocale(QLocale::German)), 1.5);
    for (const auto& fails : std::initializer_list<std::function<void()>>{
             [&] { Variant::null().toText(c); }, [&] { Variant::array({"a"}).joinedText(); },
             [] { Variant::null().join(QStringLiteral(" ")); }, [] { Variant::text(QStringLiteral("x")).join(QStringLiteral(" ")); },
             [] { Variant::text(QStringLiteral("12 MB")).toDouble(); }, [] { Variant::null().toDouble(); }})
        EXPECT_THROW(fails(), StepFailed);
}

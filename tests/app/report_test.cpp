// SPDX-License-Identifier: MIT
#include "app/report.h"
#include "support/machine.h"
#include "support/qt_printers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace qni;
using qni::test::PlainBoxes;

const QChar kLoneHigh(0xD800);

TEST(Report, TextPrintsEachFactUnderItsCaptionWithFurtherLinesAligned)
{
    const struct {
        Fact fact;
        QString box, lines; // what the box holds, what the report prints for that fact
    } cases[] = {
        {Fact::MemoryChips, QStringLiteral("512 MB Chip\r\n256 MB Chip\r\n"),
         QStringLiteral("Memory Chips: 512 MB Chip\n              256 MB Chip\n")},
        {Fact::MemoryChips, QStringLiteral("a\r\n\r\nb"), QStringLiteral("Memory Chips: a\n              \n              b\n")},
        {Fact::MemoryChips, QString(), QStringLiteral("Memory Chips: \n")},
        {Fact::MemoryChips, QString::fromUtf16(u"a\u2028b\u202e\r\nc"),
         QString::fromUtf16(u"Memory Chips: a\ufffdb\ufffd\n              c\n")},
        // Only the memory box has lines: elsewhere a line end or a reordering
        // mark could forge a "Label: value" line or disguise one.
        {Fact::OperatingSystem, QString::fromUtf16(u"a\rb\nc\r\nd\u2029\x0b\x0c\u0085\u2066\u061c\u200f"),
         QString::fromUtf16(u"Operating System: a\ufffdb\ufffdc\ufffd\ufffdd\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd\n")},
        {Fact::Cpu, QStringLiteral("   Pentium  "), QStringLiteral("CPU:    Pentium  \n")},
        // Box texts must not reach the terminal as escape sequences.
        {Fact::SerialNumber, QString::fromUtf16(u"\x1b]0;x\x07\tX\x7f\u0085\u00e9"),
         QString::fromUtf16(u"Serial Number: \ufffd]0;x\ufffd\tX\ufffd\ufffd\u00e9\n")},
        {Fact::MacAddress, QString(kLoneHigh) + u'z', QString::fromUtf16(u"Mac Address: \ufffdz\n")},
    };
    for (const auto& c : cases) {
        ReportFacts facts;
        facts.texts[static_cast<size_t>(c.fact)] = c.box;
        const QString out = QString::fromUtf8(textReport(facts));
        QString expected;
        for (const FactInfo& info : kFacts)
            expected += info.fact == c.fact ? c.lines : QLatin1String(info.caption) + QStringLiteral(" \n");
        EXPECT_EQ(out, expected) << c.box.toStdString();
    }
}

TEST(Report, JsonIsValidUtf8WhateverTheBoxesHoldAndKeepsWindowOrder)
{
    static constexpr char16_t kOdd[] = u"quote\" back\\ nul\0 esc\x1b del\x7f c1\u0080\u0085\u009f \u2028 \U0001F600 "
                                       u"bidi\u202e\u2066\u2069\u200e\u061c \u00a0\u00e9";
    PlainBoxes b;
    b.txtOS.set(QString::fromUtf16(kOdd, std::size(kOdd) - 1));
    b.txtOSSerial.set(QString(kLoneHigh) + QChar(0xDC00) + QChar(0xDC00) + kLoneHigh);
    b.txtMemory.set(QStringLiteral("512 MB Chip\r\n\r\n1 GB\tChip\n"));
    b.txtINTIP.set(QStringLiteral("line\r\n"));
    b.lblStatus.set(QStringLiteral("Information Gathered With Errors!"));
    GatherOutcome outcome;
    outcome.failures = {{Fact::MacAddress, QString::fromUtf16(u"m\u202ex")}, {Fact::MemoryChips, "r"}, {Fact::MacAddress, "2nd"}};

    const QByteArray out = jsonReport(reportFacts(b.boxes, outcome));
    EXPECT_EQ(QString::fromUtf8(out).toUtf8(), out);
    for (const char c : out)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << int(c);
    // DEL, C1, line separators and bidirectional controls stay escaped.
    for (const char* raw : {"\x7f", "\xc2\x80", "\xc2\x85", "\xc2\x9f", "\xe2\x80\xa8", "\xe2\x80\xae", "\xe2\x81\xa6",
                            "\xe2\x81\xa9", "\xe2\x80\x8e", "\xd8\x9c"})
        EXPECT_FALSE(out.contains(raw)) << raw;
    EXPECT_TRUE(out.contains("\xc2\xa0\xc3\xa9")) << "printable text stays as it is";

    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    EXPECT_EQ(o.value(QStringLiteral("operating_system")).toString(), b.txtOS.get());
    EXPECT_EQ(o.value(QStringLiteral("serial_number")).toString(), QString(kLoneHigh) + QChar(0xDC00) + QChar(0xFFFD) + QChar(0xFFFD));
    EXPECT_EQ(o.value(QStringLiteral("memory_chips")).toArray(),
              (QJsonArray{QStringLiteral("512 MB Chip"), QString(), QStringLiteral("1 GB\tChip")}));
    EXPECT_EQ(o.value(QStringLiteral("internet_address")).toString(), QStringLiteral("line\r\n"));
    EXPECT_EQ(o.value(QStringLiteral("status")).toString(), b.lblStatus.get());
    EXPECT_EQ(o.value(QStringLiteral("unavailable")).toArray(),
              (QJsonArray{QStringLiteral("memory_chips"), QStringLiteral("mac_address")}));
    EXPECT_EQ(o.value(QStringLiteral("reasons")).toObject(),
              (QJsonObject{{"memory_chips", "r"}, {"mac_address", QString::fromUtf16(u"m\u202ex")}}));
    EXPECT_LT(out.indexOf("\"memory_chips\":\"r\""), out.indexOf("\"mac_address\":\"m")) << "window order";
    QList<QByteArray> names = {"status", "unavailable", "reasons"};
    for (auto fact = kFacts.rbegin(); fact != kFacts.rend(); ++fact)
        names.prepend(fact->jsonName);
    EXPECT_EQ(o.keys().size(), names.size());
    for (qsizetype i = 1; i < names.size(); ++i)
        EXPECT_LT(out.indexOf('"' + names[i - 1] + "\":"), out.indexOf('"' + names[i] + "\":")) << names[i].constData();
}

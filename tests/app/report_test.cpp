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

namespace {

ReportFacts oneFact(Fact fact, const QString& text)
{
    ReportFacts facts;
    facts.texts[static_cast<size_t>(fact)] = text;
    return facts;
}

struct TextCase {
    Fact fact;
    QString box;
    QString lines; // what the report prints for that fact
};

const QChar kLoneHigh(0xD800);

} // namespace

TEST(Report, TextPrintsEachFactUnderItsCaptionWithFurtherLinesAligned)
{
    const TextCase cases[] = {
        {Fact::MemoryChips, QStringLiteral("512 MB Chip\r\n256 MB Chip\r\n"),
         QStringLiteral("Memory Chips: 512 MB Chip\n              256 MB Chip\n")},
        {Fact::MemoryChips, QStringLiteral("a\r\n\r\nb"), QStringLiteral("Memory Chips: a\n              \n              b\n")},
        {Fact::MemoryChips, QString(), QStringLiteral("Memory Chips: \n")},
        {Fact::OperatingSystem, QStringLiteral("a\rb\nc"),
         QStringLiteral("Operating System: a\n                  b\n                  c\n")},
        {Fact::Cpu, QStringLiteral("   Pentium  "), QStringLiteral("CPU:    Pentium  \n")},
        {Fact::InternetAddress, QStringLiteral("81.2.3.4\n"), QStringLiteral("Internet Address: 81.2.3.4\n")},
        // Box texts must not reach the terminal as escape sequences.
        {Fact::SerialNumber, QString::fromUtf16(u"\x1b]0;x\x07\tX\x7f\u0085\u00e9"),
         QString::fromUtf16(u"Serial Number: \ufffd]0;x\ufffd\tX\ufffd\ufffd\u00e9\n")},
        {Fact::MacAddress, QString(kLoneHigh) + u'z', QString::fromUtf16(u"Mac Address: \ufffdz\n")},
    };
    for (const TextCase& c : cases) {
        const QString out = QString::fromUtf8(textReport(oneFact(c.fact, c.box)));
        QString expected;
        for (const FactInfo& info : kFacts)
            expected += info.fact == c.fact ? c.lines : QLatin1String(info.caption) + QStringLiteral(" \n");
        EXPECT_EQ(out, expected) << c.box.toStdString();
    }
}

TEST(Report, JsonIsValidUtf8WhateverTheBoxesHoldAndKeepsWindowOrder)
{
    static constexpr char16_t kOdd[] = u"quote\" back\\ nul\0 esc\x1b del\x7f c1\u0085 \u2028 \U0001F600";
    PlainBoxes b;
    b.txtOS.set(QString::fromUtf16(kOdd, std::size(kOdd) - 1));
    b.txtOSSerial.set(QString(kLoneHigh));
    b.txtMemory.set(QStringLiteral("512 MB Chip\r\n\r\n1 GB\tChip\n"));
    b.txtINTIP.set(QStringLiteral("line\r\n"));
    b.lblStatus.set(QStringLiteral("Information Gathered With Errors!"));
    GatherOutcome outcome;
    outcome.failures = {{Fact::MacAddress, {}}, {Fact::MemoryChips, {}}, {Fact::MacAddress, {}}};

    const QByteArray out = jsonReport(reportFacts(b.boxes, outcome));
    EXPECT_EQ(QString::fromUtf8(out).toUtf8(), out);
    for (const char c : out)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << int(c);
    EXPECT_FALSE(out.contains('\x7f') || out.contains("\xc2\x85"));

    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    EXPECT_EQ(o.value(QStringLiteral("operating_system")).toString(), b.txtOS.get());
    EXPECT_EQ(o.value(QStringLiteral("serial_number")).toString(), QString(QChar(0xFFFD)));
    EXPECT_EQ(o.value(QStringLiteral("memory_chips")).toArray(),
              (QJsonArray{QStringLiteral("512 MB Chip"), QString(), QStringLiteral("1 GB\tChip")}));
    EXPECT_EQ(o.value(QStringLiteral("internet_address")).toString(), QStringLiteral("line\r\n"));
    EXPECT_EQ(o.value(QStringLiteral("status")).toString(), b.lblStatus.get());
    EXPECT_EQ(o.value(QStringLiteral("unavailable")).toArray(),
              (QJsonArray{QStringLiteral("memory_chips"), QStringLiteral("mac_address")}));

    qsizetype at = 0;
    QStringList names;
    for (const FactInfo& info : kFacts)
        names << QLatin1String(info.jsonName);
    names << QStringLiteral("status") << QStringLiteral("unavailable");
    EXPECT_EQ(o.keys().size(), names.size());
    for (const QString& name : names) {
        const qsizetype next = out.indexOf('"' + name.toUtf8() + "\":");
        EXPECT_GT(next, at) << name.toStdString();
        at = next;
    }
}

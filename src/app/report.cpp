// SPDX-License-Identifier: MIT
#include "app/report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>

#include <algorithm>

namespace qni {

namespace {

constexpr QChar kReplacement(0xFFFD);

// QString holds UTF-16 as assigned; a surrogate without its partner has no
// UTF-8 form.
QString withPairedSurrogates(const QString& text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = kReplacement;
    }
    return out;
}

QString printable(const QString& line)
{
    QString out = withPairedSurrogates(line);
    std::replace_if(
        out.begin(), out.end(), [](QChar c) { return c.category() == QChar::Other_Control && c != u'\t'; },
        kReplacement);
    return out;
}

// Qt's writer escapes only what JSON demands (below U+0020); DEL and the C1
// controls are escaped too, as a terminal may act on them. In UTF-8 a C1
// control is C2 followed by 80..9F, and C2 is never a continuation byte.
QByteArray escapeRemainingControls(const QByteArray& json)
{
    QByteArray out;
    out.reserve(json.size());
    for (qsizetype i = 0; i < json.size(); ++i) {
        const auto byte = static_cast<unsigned char>(json[i]);
        const auto next = i + 1 < json.size() ? static_cast<unsigned char>(json[i + 1]) : 0;
        if (byte == 0x7F) {
            out += "\\u007f";
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            out += "\\u00" + QByteArray::number(next, 16);
            ++i;
        } else {
            out += char(byte);
        }
    }
    return out;
}

// One value as JSON text, through Qt's writer (which only writes whole
// documents).
QByteArray jsonText(const QJsonValue& value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return escapeRemainingControls(wrapped.mid(1, wrapped.size() - 2));
}

QJsonArray jsonStrings(const QStringList& items)
{
    QJsonArray array;
    for (const QString& item : items)
        array.append(withPairedSurrogates(item));
    return array;
}

} // namespace

ReportFacts reportFacts(ResultBoxes& boxes, const GatherOutcome& outcome)
{
    ReportFacts facts;
    for (size_t i = 0; i < kFacts.size(); ++i) {
        facts.texts[i] = kFacts[i].box(boxes).get();
        const Fact fact = kFacts[i].fact;
        if (std::any_of(outcome.failures.begin(), outcome.failures.end(),
                        [fact](const FactFailure& f) { return f.fact == fact; }))
            facts.unavailable << fact;
    }
    facts.status = boxes.lblStatus.get();
    return facts;
}

QStringList boxLines(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray textReport(const ReportFacts& facts)
{
    QString out;
    for (size_t i = 0; i < kFacts.size(); ++i) {
        const QString caption = QLatin1String(kFacts[i].caption);
        const QString indent(caption.size() + 1, u' ');
        QStringList lines = boxLines(facts.texts[i]);
        if (lines.isEmpty())
            lines << QString();
        for (qsizetype j = 0; j < lines.size(); ++j)
            out += (j == 0 ? caption + u' ' : indent) + printable(lines[j]) + u'\n';
    }
    return out.toUtf8();
}

QByteArray jsonReport(const ReportFacts& facts)
{
    QByteArray out = "{\n";
    const auto member = [&out](const char* name, const QJsonValue& value) {
        out += "  " + jsonText(QString::fromLatin1(name)) + ": " + jsonText(value) + ",\n";
    };
    for (size_t i = 0; i < kFacts.size(); ++i) {
        if (kFacts[i].fact == Fact::MemoryChips)
            member(kFacts[i].jsonName, jsonStrings(boxLines(facts.texts[i])));
        else
            member(kFacts[i].jsonName, withPairedSurrogates(facts.texts[i]));
    }
    member("status", withPairedSurrogates(facts.status));
    QStringList unavailable;
    for (const FactInfo& info : kFacts) {
        if (facts.unavailable.contains(info.fact))
            unavailable << QString::fromLatin1(info.jsonName);
    }
    member("unavailable", jsonStrings(unavailable));
    out.chop(2); // the last member's comma
    out += "\n}\n";
    return out;
}

} // namespace qni

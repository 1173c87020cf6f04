// SPDX-License-Identifier: MIT
#include "app/report.h"

#include "base/one_line.h"

#include <QRegularExpression>

#include <nlohmann/json.hpp>

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
        out.begin(), out.end(),
        [](QChar c) { return (c.category() == QChar::Other_Control && c != u'\t') || breaksLineOrOrder(c.unicode()); },
        kReplacement);
    return out;
}

// The JSON writer escapes only what JSON demands (below U+0020). DEL and the C1
// controls are escaped too, as a terminal may act on them, and so is what
// breaks a line or reorders text, which could mislead whoever reads the
// object. None of them can stand outside a string.
QByteArray escapeRemainingControls(const QByteArray& json)
{
    QString out;
    for (const QChar c : QString::fromUtf8(json)) {
        const char16_t u = c.unicode();
        if (u == 0x7F || (u >= 0x80 && u <= 0x9F) || breaksLineOrOrder(u))
            out += QStringLiteral("\\u%1").arg(unsigned(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out.toUtf8();
}

// A text as a JSON string's value: valid UTF-8 whatever the text holds.
nlohmann::json jsonString(const QString& text)
{
    return withPairedSurrogates(text).toUtf8().toStdString();
}

nlohmann::json jsonStrings(const QStringList& items)
{
    nlohmann::json array = nlohmann::json::array();
    for (const QString& item : items)
        array.push_back(jsonString(item));
    return array;
}

// One value as compact JSON text.
QByteArray jsonText(const nlohmann::json& value)
{
    return escapeRemainingControls(QByteArray::fromStdString(value.dump()));
}

} // namespace

ReportFacts reportFacts(ResultBoxes& boxes, const GatherOutcome& outcome)
{
    ReportFacts facts;
    for (size_t i = 0; i < kFacts.size(); ++i) {
        facts.texts[i] = kFacts[i].box(boxes).get();
        const Fact fact = kFacts[i].fact;
        const auto failure = std::find_if(outcome.failures.begin(), outcome.failures.end(),
                                          [fact](const FactFailure& f) { return f.fact == fact; });
        if (failure != outcome.failures.end()) {
            facts.unavailable << fact;
            facts.reasons[i] = failure->reason;
        }
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
        // Only the memory box holds several lines; a line end anywhere else
        // could forge a "Label: value" line.
        QStringList lines = kFacts[i].fact == Fact::MemoryChips ? boxLines(facts.texts[i]) : QStringList{facts.texts[i]};
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
    const auto member = [&out](const char* name, const nlohmann::json& value) {
        out += "  " + jsonText(name) + ": " + jsonText(value) + ",\n";
    };
    for (size_t i = 0; i < kFacts.size(); ++i) {
        if (kFacts[i].fact == Fact::MemoryChips)
            member(kFacts[i].jsonName, jsonStrings(boxLines(facts.texts[i])));
        else
            member(kFacts[i].jsonName, jsonString(facts.texts[i]));
    }
    member("status", jsonString(facts.status));
    QStringList unavailable;
    QByteArray reasons;
    for (size_t i = 0; i < kFacts.size(); ++i) {
        if (!facts.unavailable.contains(kFacts[i].fact))
            continue;
        const QString name = QString::fromLatin1(kFacts[i].jsonName);
        unavailable << name;
        reasons += (reasons.isEmpty() ? "" : ",") + jsonText(jsonString(name)) + ':' + jsonText(jsonString(facts.reasons[i]));
    }
    member("unavailable", jsonStrings(unavailable));
    // Written member by member, so that they keep the window's order.
    out += "  \"reasons\": {" + reasons + "},\n";
    out.chop(2); // the last member's comma
    out += "\n}\n";
    return out;
}

} // namespace qni

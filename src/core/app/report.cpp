// SPDX-License-Identifier: MIT
#include "app/report.h"

#include "base/one_line.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace qni {

using namespace std::literals;

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool isControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Text holds UTF-16 as assigned; a surrogate without its partner has no
// UTF-8 form.
Text withPairedSurrogates(const Text& text)
{
    Text out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (isHighSurrogate(out[i]) && i + 1 < out.size() && isLowSurrogate(out[i + 1]))
            ++i;
        else if (isHighSurrogate(out[i]) || isLowSurrogate(out[i]))
            out[i] = kReplacement;
    }
    return out;
}

Text printable(const Text& line)
{
    Text out = withPairedSurrogates(line);
    std::replace_if(
        out.begin(), out.end(),
        [](char16_t c) { return (isControl(c) && c != u'\t') || breaksLineOrOrder(c); },
        kReplacement);
    return out;
}

// The JSON writer escapes only what JSON demands (below U+0020). DEL and the C1
// controls are escaped too, as a terminal may act on them, and so is what
// breaks a line or reorders text, which could mislead whoever reads the
// object. None of them can stand outside a string.
std::string escapeRemainingControls(const std::string& json)
{
    static constexpr char kHex[] = "0123456789abcdef";
    Text out;
    for (const char16_t u : fromUtf8(json)) {
        if (u == 0x7F || (u >= 0x80 && u <= 0x9F) || breaksLineOrOrder(u)) {
            out += u"\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += char16_t(kHex[(u >> shift) & 0xF]);
        } else {
            out += u;
        }
    }
    return toUtf8(out);
}

// A text as a JSON string's value: valid UTF-8 whatever the text holds.
nlohmann::json jsonString(const Text& text)
{
    return toUtf8(withPairedSurrogates(text));
}

nlohmann::json jsonStrings(const std::vector<Text>& items)
{
    nlohmann::json array = nlohmann::json::array();
    for (const Text& item : items)
        array.push_back(jsonString(item));
    return array;
}

// One value as compact JSON text.
std::string jsonText(const nlohmann::json& value)
{
    return escapeRemainingControls(value.dump());
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
            facts.unavailable.push_back(fact);
            facts.reasons[i] = failure->reason;
        }
    }
    facts.status = boxes.lblStatus.get();
    return facts;
}

std::vector<Text> boxLines(const Text& text)
{
    std::vector<Text> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

std::string textReport(const ReportFacts& facts)
{
    Text out;
    for (size_t i = 0; i < kFacts.size(); ++i) {
        const Text caption(kFacts[i].caption);
        const Text indent(caption.size() + 1, u' ');
        // Only the memory box holds several lines; a line end anywhere else
        // could forge a "Label: value" line.
        std::vector<Text> lines = kFacts[i].fact == Fact::MemoryChips ? boxLines(facts.texts[i]) : std::vector<Text>{facts.texts[i]};
        if (lines.empty())
            lines.emplace_back();
        for (std::size_t j = 0; j < lines.size(); ++j)
            out += (j == 0 ? caption + u' ' : indent) + printable(lines[j]) + u'\n';
    }
    return toUtf8(out);
}

std::string jsonReport(const ReportFacts& facts)
{
    std::string out = "{\n";
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
    std::vector<Text> unavailable;
    std::string reasons;
    for (size_t i = 0; i < kFacts.size(); ++i) {
        if (std::find(facts.unavailable.begin(), facts.unavailable.end(), kFacts[i].fact) == facts.unavailable.end())
            continue;
        const Text name = fromLatin1(kFacts[i].jsonName);
        unavailable.push_back(name);
        reasons += (reasons.empty() ? "" : ",") + jsonText(jsonString(name)) + ':' + jsonText(jsonString(facts.reasons[i]));
    }
    member("unavailable", jsonStrings(unavailable));
    // Written member by member, so that they keep the window's order.
    out += "  \"reasons\": {" + reasons + "},\n";
    out.resize(out.size() - 2); // the last member's comma
    out += "\n}\n";
    return out;
}

} // namespace qni

// SPDX-License-Identifier: MIT
#include "platform/wql.h"

#include "base/step_failed.h"

#include <algorithm>

namespace qni {

namespace {

bool isAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isIdentifier(TextView s)
{
    if (s.empty() || !(isAsciiLetter(s.front()) || s.front() == u'_'))
        return false;
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == u'_'; });
}

// [-+]digits[.digits]
bool isDecimal(TextView s)
{
    if (!s.empty() && (s.front() == u'-' || s.front() == u'+'))
        s.remove_prefix(1);
    const std::size_t point = s.find(u'.');
    const TextView whole = point == TextView::npos ? s : s.substr(0, point);
    const TextView fraction = point == TextView::npos ? TextView(u"0") : s.substr(point + 1);
    const auto digits = [](TextView part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), isAsciiDigit);
    };
    return digits(whole) && digits(fraction);
}

Variant parseLiteral(TextView raw)
{
    const TextView s = trimmed(raw);
    if (equalNoCase(s, u"True"))
        return Variant::boolean(true);
    if (equalNoCase(s, u"False"))
        return Variant::boolean(false);
    if (equalNoCase(s, u"NULL"))
        return Variant::null();
    if (s.size() >= 2) {
        const char16_t q = s.front();
        if ((q == u'\'' || q == u'"') && s.back() == q) {
            const TextView inner = s.substr(1, s.size() - 2);
            if (inner.find(q) == TextView::npos)
                return Variant::text(Text(inner));
        }
    }
    if (isDecimal(s))
        return Variant::number(parseNumber(s));
    throw StepFailed("Invalid query");
}

// Reads a query from left to right: words, blanks and the rest.
class Reader {
public:
    explicit Reader(TextView text) : rest_(text) {}

    // Skips blanks; whether there were any.
    bool blanks()
    {
        std::size_t n = 0;
        while (n < rest_.size() && isBlank(rest_[n]))
            ++n;
        rest_.remove_prefix(n);
        return n > 0;
    }
    // Takes `word` (any case) when the text goes on with it.
    bool take(TextView word)
    {
        if (!equalNoCase(rest_.substr(0, word.size()), word))
            return false;
        rest_.remove_prefix(word.size());
        return true;
    }
    // The characters up to the next blank or `stop`.
    TextView until(char16_t stop = 0)
    {
        std::size_t n = 0;
        while (n < rest_.size() && !isBlank(rest_[n]) && (stop == 0 || rest_[n] != stop))
            ++n;
        const TextView taken = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return taken;
    }
    TextView rest() const { return rest_; }

private:
    TextView rest_;
};

} // namespace

WqlQuery WqlQuery::parse(TextView text)
{
    // SELECT * FROM <class> [WHERE <prop> = <literal>]
    Reader r(text);
    r.blanks();
    if (!(r.take(u"SELECT") && r.blanks() && r.take(u"*") && r.blanks() &&
          r.take(u"FROM") && r.blanks()))
        throw StepFailed("Invalid query");
    WqlQuery q;
    const TextView className = r.until();
    if (!isIdentifier(className))
        throw StepFailed("Invalid query");
    q.className = Text(className);
    if (!r.blanks() || r.rest().empty())
        return q;
    if (!(r.take(u"WHERE") && r.blanks()))
        throw StepFailed("Invalid query");
    const TextView property = r.until(u'=');
    r.blanks();
    if (!isIdentifier(property) || !r.take(u"="))
        throw StepFailed("Invalid query");
    q.whereProperty = Text(property);
    q.literal = parseLiteral(r.rest());
    return q;
}

bool WqlQuery::matches(const std::optional<Variant>& value) const
{
    if (whereProperty.empty())
        return true;
    if (!value || !literal)
        return false;
    const Variant& lit = *literal;
    const Variant& v = *value;
    if (lit.isNull())
        return v.isNull();
    if (v.isNull() || v.isEmpty() || v.kind() == Variant::Kind::Array)
        return false;
    switch (lit.kind()) {
    case Variant::Kind::Boolean:
        if (v.kind() == Variant::Kind::Boolean)
            return v == lit;
        return false;
    case Variant::Kind::Number:
        if (v.kind() == Variant::Kind::Number)
            return v.toDouble() == lit.toDouble();
        if (v.kind() == Variant::Kind::Text) {
            try {
                return parseNumber(v.toText()) == lit.toDouble();
            } catch (const StepFailed&) {
                return false;
            }
        }
        return false;
    case Variant::Kind::Text:
        return equalNoCase(v.toText(), lit.toText());
    default:
        return false;
    }
}

} // namespace qni

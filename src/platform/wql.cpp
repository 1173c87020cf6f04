// SPDX-License-Identifier: MIT
#include "platform/wql.h"

#include "base/step_failed.h"

#include <algorithm>

namespace qni {

namespace {

bool isAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isIdentifier(QStringView s)
{
    if (s.isEmpty() || !(isAsciiLetter(s.front()) || s.front() == u'_'))
        return false;
    return std::all_of(s.begin(), s.end(), [](QChar c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == u'_'; });
}

// [-+]digits[.digits]
bool isDecimal(QStringView s)
{
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+'))
        s = s.sliced(1);
    const qsizetype point = s.indexOf(u'.');
    const QStringView whole = point < 0 ? s : s.first(point);
    const QStringView fraction = point < 0 ? QStringView(u"0") : s.sliced(point + 1);
    const auto digits = [](QStringView part) {
        return !part.isEmpty() && std::all_of(part.begin(), part.end(), isAsciiDigit);
    };
    return digits(whole) && digits(fraction);
}

Variant parseLiteral(QStringView raw)
{
    const QStringView s = raw.trimmed();
    if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return Variant::boolean(true);
    if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return Variant::boolean(false);
    if (s.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return Variant::null();
    if (s.size() >= 2) {
        const QChar q = s.front();
        if ((q == u'\'' || q == u'"') && s.back() == q) {
            const QStringView inner = s.sliced(1, s.size() - 2);
            if (!inner.contains(q))
                return Variant::text(inner.toString());
        }
    }
    if (isDecimal(s))
        return Variant::number(s.toDouble());
    throw StepFailed("Invalid query");
}

// Reads a query from left to right: words, blanks and the rest.
class Reader {
public:
    explicit Reader(QStringView text) : rest_(text) {}

    // Skips blanks; whether there were any.
    bool blanks()
    {
        qsizetype n = 0;
        while (n < rest_.size() && rest_[n].isSpace())
            ++n;
        rest_ = rest_.sliced(n);
        return n > 0;
    }
    // Takes `word` (any case) when the text goes on with it.
    bool take(QLatin1String word)
    {
        if (!rest_.startsWith(word, Qt::CaseInsensitive))
            return false;
        rest_ = rest_.sliced(word.size());
        return true;
    }
    // The characters up to the next blank or `stop`.
    QStringView until(QChar stop = QChar())
    {
        qsizetype n = 0;
        while (n < rest_.size() && !rest_[n].isSpace() && (stop.isNull() || rest_[n] != stop))
            ++n;
        const QStringView taken = rest_.first(n);
        rest_ = rest_.sliced(n);
        return taken;
    }
    QStringView rest() const { return rest_; }

private:
    QStringView rest_;
};

} // namespace

WqlQuery WqlQuery::parse(const QString& text)
{
    // SELECT * FROM <class> [WHERE <prop> = <literal>]
    Reader r(text);
    r.blanks();
    if (!(r.take(QLatin1String("SELECT")) && r.blanks() && r.take(QLatin1String("*")) && r.blanks() &&
          r.take(QLatin1String("FROM")) && r.blanks()))
        throw StepFailed("Invalid query");
    WqlQuery q;
    const QStringView className = r.until();
    if (!isIdentifier(className))
        throw StepFailed("Invalid query");
    q.className = className.toString();
    if (!r.blanks() || r.rest().isEmpty())
        return q;
    if (!(r.take(QLatin1String("WHERE")) && r.blanks()))
        throw StepFailed("Invalid query");
    const QStringView property = r.until(u'=');
    r.blanks();
    if (!isIdentifier(property) || !r.take(QLatin1String("=")))
        throw StepFailed("Invalid query");
    q.whereProperty = property.toString();
    q.literal = parseLiteral(r.rest());
    return q;
}

bool WqlQuery::matches(const std::optional<Variant>& value) const
{
    if (whereProperty.isEmpty())
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
            bool ok = false;
            const double d = v.toText().trimmed().toDouble(&ok);
            return ok && d == lit.toDouble();
        }
        return false;
    case Variant::Kind::Text:
        return v.toText(QLocale::c()).compare(lit.toText(), Qt::CaseInsensitive) == 0;
    default:
        return false;
    }
}

} // namespace qni

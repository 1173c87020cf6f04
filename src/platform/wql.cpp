// SPDX-License-Identifier: MIT
#include "platform/wql.h"

#include "base/step_failed.h"

#include <QRegularExpression>

namespace qni {

namespace {

bool isIdentifier(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

Variant parseLiteral(const QString& raw)
{
    const QString s = raw.trimmed();
    if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return Variant::boolean(true);
    if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return Variant::boolean(false);
    if (s.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return Variant::null();
    if (s.size() >= 2) {
        const QChar q = s.front();
        if ((q == u'\'' || q == u'"') && s.back() == q) {
            const QString inner = s.mid(1, s.size() - 2);
            if (!inner.contains(q))
                return Variant::text(inner);
        }
    }
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9]+(\\.[0-9]+)?$"));
    if (number.match(s).hasMatch())
        return Variant::number(s.toDouble());
    throw StepFailed("Invalid query");
}

} // namespace

WqlQuery WqlQuery::parse(const QString& text)
{
    // SELECT * FROM <class> [WHERE <prop> = <literal>]
    static const QRegularExpression re(
        QStringLiteral("^\\s*SELECT\\s+\\*\\s+FROM\\s+(\\S+)(?:\\s+WHERE\\s+([^\\s=]+)\\s*=\\s*(.+?))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(text);
    if (!m.hasMatch() || !isIdentifier(m.captured(1)))
        throw StepFailed("Invalid query");
    WqlQuery q;
    q.className = m.captured(1);
    if (m.hasCaptured(2) && !m.captured(2).isEmpty()) {
        if (!isIdentifier(m.captured(2)))
            throw StepFailed("Invalid query");
        q.whereProperty = m.captured(2);
        q.literal = parseLiteral(m.captured(3));
    }
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

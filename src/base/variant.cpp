// SPDX-License-Identifier: MIT
#include "base/variant.h"

#include "base/step_failed.h"

#include <charconv>
#include <cmath>

namespace qni {

Variant Variant::null()
{
    Variant v;
    v.kind_ = Kind::Null;
    return v;
}

Variant Variant::text(QString s)
{
    Variant v;
    v.kind_ = Kind::Text;
    v.text_ = std::move(s);
    return v;
}

Variant Variant::number(double d)
{
    Variant v;
    v.kind_ = Kind::Number;
    v.number_ = d;
    return v;
}

Variant Variant::boolean(bool b)
{
    Variant v;
    v.kind_ = Kind::Boolean;
    v.boolean_ = b;
    return v;
}

Variant Variant::array(QStringList items)
{
    Variant v;
    v.kind_ = Kind::Array;
    v.array_ = std::move(items);
    return v;
}

QString Variant::toText(const QLocale& locale) const
{
    switch (kind_) {
    case Kind::Empty:
        return QString();
    case Kind::Text:
        return text_;
    case Kind::Number:
        return formatGeneral(number_, locale);
    case Kind::Boolean:
        return boolean_ ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Null:
        throw StepFailed("Invalid use of Null");
    case Kind::Array:
        break;
    }
    throw StepFailed("Type mismatch");
}

QString Variant::joinedText(const QLocale& locale) const
{
    return kind_ == Kind::Null ? QString() : toText(locale);
}

QString Variant::join(const QString& separator) const
{
    if (kind_ != Kind::Array)
        throw StepFailed(kind_ == Kind::Null ? "Invalid use of Null" : "Type mismatch");
    return array_.join(separator);
}

double Variant::toDouble(const QLocale& locale) const
{
    switch (kind_) {
    case Kind::Empty:
        return 0;
    case Kind::Number:
        return number_;
    case Kind::Boolean:
        return boolean_ ? -1 : 0;
    case Kind::Text:
        return parseNumber(text_, locale);
    case Kind::Null:
        throw StepFailed("Invalid use of Null");
    case Kind::Array:
        break;
    }
    throw StepFailed("Type mismatch");
}

QString formatGeneral(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0"); // no "-0"
    char buf[64];
    // %.15g in the C locale, whatever setlocale() says.
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    QString s = QString::fromLatin1(buf, res.ptr - buf);
    s.replace(QLatin1Char('e'), QLatin1Char('E'));
    const QString point = locale.decimalPoint();
    if (point != QLatin1String("."))
        s.replace(QLatin1Char('.'), point);
    return s;
}

double parseNumber(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    bool ok = false;
    double d = locale.toDouble(t, &ok);
    if (!ok && locale.language() != QLocale::C)
        d = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(d))
        throw StepFailed("Type mismatch");
    return d;
}

} // namespace qni

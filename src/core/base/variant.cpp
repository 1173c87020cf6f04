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

Variant Variant::text(Text s)
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

Variant Variant::array(std::vector<Text> items)
{
    Variant v;
    v.kind_ = Kind::Array;
    v.array_ = std::move(items);
    return v;
}

Text Variant::toText(const NumberFormat& format) const
{
    switch (kind_) {
    case Kind::Empty:
        return Text();
    case Kind::Text:
        return text_;
    case Kind::Number:
        return formatGeneral(number_, format);
    case Kind::Boolean:
        return boolean_ ? u"True" : u"False";
    case Kind::Null:
        throw StepFailed("Invalid use of Null");
    case Kind::Array:
        break;
    }
    throw StepFailed("Type mismatch");
}

Text Variant::joinedText(const NumberFormat& format) const
{
    return kind_ == Kind::Null ? Text() : toText(format);
}

Text Variant::join(TextView separator) const
{
    if (kind_ != Kind::Array)
        throw StepFailed(kind_ == Kind::Null ? "Invalid use of Null" : "Type mismatch");
    return qni::join(array_, separator);
}

double Variant::toDouble(const NumberFormat& format) const
{
    switch (kind_) {
    case Kind::Empty:
        return 0;
    case Kind::Number:
        return number_;
    case Kind::Boolean:
        return boolean_ ? -1 : 0;
    case Kind::Text:
        return parseNumber(text_, format);
    case Kind::Null:
        throw StepFailed("Invalid use of Null");
    case Kind::Array:
        break;
    }
    throw StepFailed("Type mismatch");
}

Text formatGeneral(double value, const NumberFormat& format)
{
    if (std::isnan(value))
        return u"NaN";
    if (std::isinf(value))
        return value < 0 ? u"-inf" : u"inf";
    if (value == 0)
        return u"0"; // no "-0"
    char buf[64];
    // %.15g in the C locale, whatever setlocale() says.
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    Text s = fromLatin1(std::string_view(buf, std::size_t(res.ptr - buf)));
    for (char16_t& c : s) {
        if (c == u'e')
            c = u'E';
        else if (c == u'.')
            c = format.decimalSeparator;
    }
    return s;
}

double parseNumber(TextView text, const NumberFormat& format)
{
    const TextView t = trimmed(text);
    // from_chars reads the C form only: the separator becomes a point, and
    // a leading plus, which it refuses, is dropped.
    std::string ascii;
    ascii.reserve(t.size());
    for (const char16_t c : t) {
        if (c == format.decimalSeparator || c == u'.')
            ascii.push_back('.');
        else if (c < 0x80 && c != u',' && c != u'\'')
            ascii.push_back(char(c));
        else
            throw StepFailed("Type mismatch");
    }
    std::string_view digits = ascii;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    double d = 0;
    const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), d, std::chars_format::general);
    if (digits.empty() || res.ec != std::errc() || res.ptr != digits.data() + digits.size() || !std::isfinite(d)
        || digits.find_first_of("xXnN") != std::string_view::npos)
        throw StepFailed("Type mismatch");
    return d;
}

} // namespace qni

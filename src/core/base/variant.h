// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <vector>

namespace qni {

// A value as the management service and the registry reader deliver it, with
// the program's one set of text rules:
//   text unchanged; number in general format; empty -> ""; boolean -> "True" /
//   "False"; null and arrays have no text of their own (toText() fails), but
//   null counts as "" when joined to other text, and an array can be joined
//   explicitly.
class Variant {
public:
    enum class Kind { Empty, Null, Text, Number, Boolean, Array };

    Variant() = default;
    static Variant null();
    static Variant text(Text s);
    static Variant number(double d);
    static Variant boolean(bool b);
    static Variant array(std::vector<Text> items);

    Kind kind() const noexcept { return kind_; }
    bool isEmpty() const noexcept { return kind_ == Kind::Empty; }
    bool isNull() const noexcept { return kind_ == Kind::Null; }

    // The value as text on its own; throws StepFailed for null and arrays.
    Text toText(const NumberFormat& format = {}) const;
    // The value as text joined to other text: null counts as "".
    Text joinedText(const NumberFormat& format = {}) const;
    // An array's items joined with the separator; throws for anything else.
    Text join(TextView separator) const;
    // The value in arithmetic: empty is 0, text is read with the format's
    // separator; throws StepFailed when there is no number.
    double toDouble(const NumberFormat& format = {}) const;

    bool operator==(const Variant& other) const = default;

private:
    Kind kind_ = Kind::Empty;
    Text text_;
    double number_ = 0;
    bool boolean_ = false;
    std::vector<Text> array_;
};

// General number format: the shortest decimal form with at most 15
// significant digits, no grouping, the format's decimal separator, no point
// for whole numbers; exponent form ("1E+15", "1E-05") outside the range
// that fits.
Text formatGeneral(double value, const NumberFormat& format = {});

// Numeric text to a double (surrounding blanks allowed): an optional sign,
// digits with the format's decimal separator or a point, an optional
// exponent. Throws StepFailed ("Type mismatch") when it is not a number.
double parseNumber(TextView text, const NumberFormat& format = {});

} // namespace qni

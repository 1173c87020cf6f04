// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

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
    static Variant text(QString s);
    static Variant number(double d);
    static Variant boolean(bool b);
    static Variant array(QStringList items);

    Kind kind() const noexcept { return kind_; }
    bool isEmpty() const noexcept { return kind_ == Kind::Empty; }
    bool isNull() const noexcept { return kind_ == Kind::Null; }

    // The value as text on its own; throws StepFailed for null and arrays.
    QString toText(const QLocale& locale = QLocale()) const;
    // The value as text joined to other text: null counts as "".
    QString joinedText(const QLocale& locale = QLocale()) const;
    // An array's items joined with the separator; throws for anything else.
    QString join(const QString& separator) const;
    // The value in arithmetic: empty is 0, text is converted in the locale;
    // throws StepFailed when there is no number.
    double toDouble(const QLocale& locale = QLocale()) const;

    bool operator==(const Variant& other) const = default;

private:
    Kind kind_ = Kind::Empty;
    QString text_;
    double number_ = 0;
    bool boolean_ = false;
    QStringList array_;
};

// General number format: the shortest decimal form with at most 15
// significant digits, no grouping, the locale's decimal separator, no point
// for whole numbers; exponent form ("1E+15", "1E-05") outside the range
// that fits.
QString formatGeneral(double value, const QLocale& locale = QLocale());

// Numeric text to a double as the locale reads it (surrounding blanks
// allowed); throws StepFailed ("Type mismatch") when it is not a number.
double parseNumber(const QString& text, const QLocale& locale = QLocale());

} // namespace qni

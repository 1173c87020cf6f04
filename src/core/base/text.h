// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qni {

// The program's text is a sequence of 16-bit characters, as the window's
// controls hold it; positions the window's logic computes are 1-based.
using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 to text; each ill-formed sequence becomes U+FFFD.
Text fromUtf8(std::string_view bytes);
// Text to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(TextView text);
// Bytes of the first 256 code points, one character each.
Text fromLatin1(std::string_view bytes);

// The 1-based position of `find` in `text` at or after the 1-based position
// `start`, 0 when it is not there. Exact comparison. An empty `find` is found
// at `start` when start lies within the text or just after it.
std::size_t findFrom(TextView text, TextView find, std::size_t start = 1);
// Up to `length` characters of `text` from the 1-based position `start`;
// empty when start lies beyond the text.
Text middle(TextView text, std::size_t start, std::size_t length = Text::npos);

// Letters compared and lowered without regard to case as the management
// service's names and the registry's paths are: A-Z and the Latin-1 letters.
char16_t lowerLetter(char16_t c);
Text lowered(TextView text);
bool equalNoCase(TextView a, TextView b);

// Whether c is blank as text boxes and numbers see it: the C0 blanks, the
// space, NEL, the no-break spaces and Unicode's other space separators.
bool isBlank(char16_t c);
// text without blanks at its ends.
TextView trimmed(TextView text);

Text join(const std::vector<Text>& parts, TextView separator);
// The pieces between separators; n separators give n + 1 pieces.
std::vector<Text> split(TextView text, char16_t separator);
// How often c occurs.
std::size_t countOf(TextView text, char16_t c);
// Every occurrence of `from` replaced by `to`.
Text replaced(TextView text, TextView from, TextView to);

// The number in decimal, with a leading minus where it is negative.
Text decimal(long long value);

// How numbers are written for the user. The platform gives the user's
// decimal separator; the described machines and tests take the default.
struct NumberFormat {
    char16_t decimalSeparator = u'.';

    bool operator==(const NumberFormat&) const = default;
};

} // namespace qni

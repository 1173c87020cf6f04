// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qni {

// Whether c ends a line (CR, LF, VT, FF, NEL, the Unicode line and paragraph
// separators, and the information separators that bidirectional text treats
// as paragraph ends) or changes the order in which a reader sees the text
// around it (the bidirectional marks, embeddings, overrides and isolates).
// Either lets a value forge further "Label: value" lines or disguise itself.
bool breaksLineOrOrder(char16_t c);

// text with each character for which breaksLineOrOrder holds shown as U+FFFD.
// Replaced rather than dropped, so that "81.2\n.3.4" does not pass for an
// address and a reader sees that something was there.
std::u16string onOneLine(std::u16string_view text);

} // namespace qni

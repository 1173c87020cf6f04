// SPDX-License-Identifier: MIT
#include "base/one_line.h"

namespace qni {

bool breaksLineOrOrder(char16_t c)
{
    return (c >= u'\n' && c <= u'\r') || (c >= 0x1C && c <= 0x1E) || c == 0x85 || c == 0x061C || c == 0x200E ||
           c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::u16string onOneLine(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        if (breaksLineOrOrder(c))
            c = u'\uFFFD';
    return out;
}

} // namespace qni

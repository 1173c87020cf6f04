// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <optional>
#include <string>

namespace qni::win {

// Text is UTF-16, as the wide calls take it.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline const wchar_t* wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline Text fromWide(const wchar_t* s, std::size_t length)
{
    return Text(reinterpret_cast<const char16_t*>(s), length);
}
Text fromWide(const wchar_t* s);

// The text in the ANSI code page, for the calls that take it; nullopt when a
// character has no exact form there or the text holds a NUL. Substitutes
// ("?", best-fit letters) would name another command or address.
std::optional<std::string> toAnsi(TextView text);

// Bytes in a code page; characters that do not decode become what the
// system makes of them.
Text fromCodePage(unsigned codePage, std::string_view bytes);

// The system's description of an error code, without the line end;
// "error <n>" when it has none.
Text systemMessage(unsigned long error);

// "0x8004100E".
Text hex(unsigned long value);

} // namespace qni::win

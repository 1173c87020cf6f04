// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <windows.h>

#include <string>

namespace qni {

// The program's text is UTF-16, as the wide Windows calls take it.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline Text fromWide(const wchar_t* text, std::size_t length)
{
    return Text(reinterpret_cast<const char16_t*>(text), length);
}

// A window's text (a control's contents, a caption), whole.
inline Text windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring buffer(std::size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return fromWide(buffer.data(), std::size_t(copied > 0 ? copied : 0));
}

} // namespace qni

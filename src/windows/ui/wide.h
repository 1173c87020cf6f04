// SPDX-License-Identifier: MIT
#pragma once

#include "win_text.h"

#include <windows.h>

#include <string>

namespace qni {

using win::fromWide;
using win::wide;

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

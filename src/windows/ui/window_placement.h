// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

namespace qni {

// Centres a top-level window, frame included, in the work area of the
// screen it is on.
void centreOnScreen(HWND window);

// Sizes a top-level window so that its client area is width x height
// pixels, whatever its border, caption and menu bar take.
void setClientSize(HWND window, int width, int height);

} // namespace qni

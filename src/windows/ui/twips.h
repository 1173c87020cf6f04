// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

namespace qni {

// The screen's dots per inch across and down, as GDI reports them.
struct Dpi {
    int x = 96;
    int y = 96;
};
Dpi screenDpi();

// Windows are laid out in twips, 1440 to the inch: 15 to a pixel at 96 dpi.
inline int twipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

struct TwipsRect {
    int left, top, width, height;
};

// A control's rectangle in its window's client area. Inside a frame the
// rectangle is the frame's: each is converted on its own, as a control
// nested in the frame would be placed.
RECT pixelRect(const TwipsRect& twips, Dpi dpi, POINT origin = {0, 0});

// CreateFont's height for a size in hundredths of a point: negative, so
// that the character height, not the cell, has the size.
inline int fontHeight(int centipoints, int dpiY) { return -MulDiv(centipoints, dpiY, 7200); }

// A font the window owns: deleted with it.
class Font {
public:
    // face at centipoints hundredths of a point; a face the system lacks
    // gives way to its nearest sans-serif one.
    Font(const wchar_t* face, int centipoints, int dpiY, bool bold = false, bool underline = false);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT handle() const { return font_; }

private:
    HFONT font_;
};

// Gives the control its font without redrawing it (it is drawn when shown).
inline void setFont(HWND control, const Font& font)
{
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.handle()), FALSE);
}

} // namespace qni

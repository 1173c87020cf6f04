// SPDX-License-Identifier: MIT
#include "twips.h"

namespace qni {

Dpi screenDpi()
{
    Dpi dpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi.x = GetDeviceCaps(screen, LOGPIXELSX);
        dpi.y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (dpi.x <= 0 || dpi.y <= 0)
        dpi = Dpi{};
    return dpi;
}

RECT pixelRect(const TwipsRect& twips, Dpi dpi, POINT origin)
{
    const int left = origin.x + twipsToPixels(twips.left, dpi.x);
    const int top = origin.y + twipsToPixels(twips.top, dpi.y);
    return RECT{left, top, left + twipsToPixels(twips.width, dpi.x), top + twipsToPixels(twips.height, dpi.y)};
}

Font::Font(const wchar_t* face, int centipoints, int dpiY, bool bold, bool underline)
    : font_(CreateFontW(fontHeight(centipoints, dpiY), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, face))
{
}

Font::~Font()
{
    if (font_)
        DeleteObject(font_);
}

} // namespace qni

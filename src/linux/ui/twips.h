// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

namespace qni {

// Window geometry is laid out in twips: 15 to a pixel at 96 dots per inch.
constexpr int twipsToPixels(int twips) { return (twips + 7) / 15; }

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace qni

#pragma once

#include <QImage>
#include <QPixmap>

namespace qni {

// The runner's face: a console window with a command prompt, 32 x 32 pixels
// in the 16 standard Windows colours, stored as an icon stores it: the
// colour image (8-bit indexed, 16-entry table) and a 1-bit mask where set
// bits are transparent.
QImage consoleIconColours();
QImage consoleIconMask();

// Both combined, ready to draw.
QPixmap consoleIcon();

} // namespace qni

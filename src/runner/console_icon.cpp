#include "runner/console_icon.h"

#include <QBitmap>

#include <array>

namespace qni {
namespace {

// One hex digit per pixel, an index into kPalette; '.' is transparent.
constexpr std::array<const char*, 32> kArt = {
    "................................",
    "................................",
    ".FFFFFFFFFFFFFFFFFFFFFFFFFFFFF0.",
    ".F44444444444444444444444444480.",
    ".F4EEE4444444444477747774777480.",
    ".F4EEE4FFFFFFFF4477747774707480.",
    ".F4EEE4444444444488848884888480.",
    ".F44444444444444444444444444480.",
    ".F70000000000000000000000000780.",
    ".F70000000000000000000000000780.",
    ".F70007700070007000000000000780.",
    ".F70070007070000700000000000780.",
    ".F70070000007000070000000000780.",
    ".F70070007000700700000000000780.",
    ".F70007700000707000FFF000000780.",
    ".F70000000000000000000000000780.",
    ".F70000000000000000000000000780.",
    ".F70000000000000000000000000780.",
    ".F70088808880888088800000000780.",
    ".F70000000000000000000000000780.",
    ".F70000000000000000000000000780.",
    ".F70088808880880000000000000780.",
    ".F70000000000000000000000000780.",
    ".F70000000000000000000000000780.",
    ".F70088808880888080000000000780.",
    ".F70000000000000000000000000780.",
    ".F70000000000000000000000000780.",
    ".F88888888888888888888888888880.",
    ".000000000000000000000000000000.",
    "................................",
    "................................",
    "................................",
};

// The 16-colour Windows palette.
constexpr std::array<QRgb, 16> kPalette = {
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
    0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff,
};

int paletteIndex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0; // transparent pixels are black under the mask, as in an icon file
}

} // namespace

QImage consoleIconColours()
{
    QImage image(32, 32, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(kPalette.begin(), kPalette.end()));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y, static_cast<uint>(paletteIndex(kArt[y][x])));
    return image;
}

QImage consoleIconMask()
{
    QImage mask(32, 32, QImage::Format_MonoLSB);
    mask.setColorTable({0xffffffff, 0xff000000});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            mask.setPixel(x, y, kArt[y][x] == '.' ? 1 : 0);
    return mask;
}

QPixmap consoleIcon()
{
    QPixmap pixmap = QPixmap::fromImage(consoleIconColours());
    // QBitmap: colour 1 (black) is opaque, so the mask is inverted here.
    QImage opaque = consoleIconMask();
    opaque.invertPixels();
    pixmap.setMask(QBitmap::fromImage(opaque));
    return pixmap;
}

} // namespace qni

#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program's pictures and writes them as files.

    python3 make_resources.py [output folder [Windows output folder]]
        (defaults: this script's folder, and src/windows/ui/resources)

Writes the application icon as PNG in the hicolor sizes (icons/<size>.png;
the 32 one is a palette image of 256 colours), Hand.cur (a 32 x 32
monochrome pointer, hot spot at the fingertip) and the runner's face,
console.png; and for the Windows build the same 32 x 32 picture of 256
colours as an icon file, app.ico. Uses the standard library only, so the
output is reproducible on any machine; the outputs are committed where they
are written.
"""

import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# The icon: a monitor with an information mark on its screen and a globe in
# front of its lower right corner. Shapes live in a unit square (y down) so
# every size is a rendering of the same picture.

def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))

def hexrgb(s):
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))

def in_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

def shrink(rect, d):
    x0, y0, x1, y1, r = rect
    return (x0 + d, y0 + d, x1 - d, y1 - d, max(r - d, 0.0))

BEZEL = (0.05, 0.07, 0.95, 0.69, 0.08)
SCREEN = (0.14, 0.15, 0.86, 0.60, 0.03)
NECK = (0.41, 0.66, 0.59, 0.80, 0.0)
FOOT = (0.22, 0.78, 0.70, 0.90, 0.04)
GLOBE_C = (0.70, 0.69)
GLOBE_R = 0.27
LINE = 0.045  # outline width: about 1.5 pixels at 32 x 32

OUTLINE = hexrgb("303030")
BEZEL_TOP, BEZEL_BOTTOM = hexrgb("F2F2F2"), hexrgb("A9A9A9")
SCREEN_TOP, SCREEN_BOTTOM = hexrgb("5AA0F0"), hexrgb("0A3C8C")
WHITE = hexrgb("FFFFFF")
GLOBE_LIGHT, GLOBE_DARK = hexrgb("7EDB5A"), hexrgb("1C7A1C")
GLOBE_LINE = hexrgb("0E4A12")


def icon_sample(x, y):
    """Colour (r, g, b) of the picture at (x, y), or None where it is clear."""
    colour = None
    # stand, behind the monitor
    if in_round_rect(x, y, *NECK) or in_round_rect(x, y, *FOOT):
        inner = in_round_rect(x, y, *shrink(NECK, LINE)) or in_round_rect(x, y, *shrink(FOOT, LINE))
        colour = lerp(BEZEL_TOP, BEZEL_BOTTOM, y) if inner else OUTLINE
    if in_round_rect(x, y, *BEZEL):
        colour = OUTLINE
        if in_round_rect(x, y, *shrink(BEZEL, LINE)):
            colour = lerp(BEZEL_TOP, BEZEL_BOTTOM, (y - BEZEL[1]) / (BEZEL[3] - BEZEL[1]))
    if in_round_rect(x, y, *SCREEN):
        t = (y - SCREEN[1]) / (SCREEN[3] - SCREEN[1])
        colour = lerp(SCREEN_TOP, SCREEN_BOTTOM, t)
        # the information mark: a dot over a stem
        if (x - 0.33) ** 2 + (y - 0.245) ** 2 <= 0.052 ** 2:
            colour = WHITE
        if in_round_rect(x, y, 0.285, 0.33, 0.375, 0.54, 0.02):
            colour = WHITE
    # the globe: a disc with its equator, two parallels and two meridians
    gx, gy = x - GLOBE_C[0], y - GLOBE_C[1]
    d = math.hypot(gx, gy)
    if d <= GLOBE_R:
        if d > GLOBE_R - LINE:
            colour = GLOBE_LINE
        else:
            # light from the upper left
            t = min(max((gx + gy) / (2.2 * GLOBE_R) + 0.5, 0.0), 1.0)
            colour = lerp(GLOBE_LIGHT, GLOBE_DARK, t)
            half = LINE * 0.45
            on_line = abs(gy) < half or abs(abs(gy) - GLOBE_R * 0.5) < half or abs(gx) < half
            a = GLOBE_R * 0.5  # the meridians' ellipse, as wide as half the disc
            e = math.hypot(gx / a, gy / GLOBE_R)
            on_line = on_line or abs(e - 1.0) * a < half
            if on_line:
                colour = GLOBE_LINE
    return colour


def render(size, samples):
    """RGBA rows (floats 0..255) of the picture at size x size pixels."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = icon_sample((px + (sx + 0.5) / samples) / size,
                                    (py + (sy + 0.5) / samples) / size)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += c[i]
            if covered:
                row.append((acc[0] / covered, acc[1] / covered, acc[2] / covered,
                            255.0 * covered / (samples * samples)))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def to_bytes(rows):
    return [[tuple(int(round(v)) for v in p) for p in row] for row in rows]

# --------------------------------------------------------------------------
# 256 colours: binary transparency, then a median cut of the opaque pixels.

def median_cut(colours, count):
    boxes = [list(colours)]
    while len(boxes) < count:
        splittable = [b for b in boxes if len(set(b)) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b) for i in range(3)))
        boxes.remove(box)
        channel = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[channel])
        mid = len(box) // 2
        boxes += [box[:mid], box[mid:]]
    return [tuple(round(sum(c[i] for c in b) / len(b)) for i in range(3)) for b in boxes]


def quantize(rgba):
    """(palette, indices, opaque) for a 256-colour image with a mask."""
    opaque = [[p[3] >= 128 for p in row] for row in rgba]
    colours = [p[:3] for row, mrow in zip(rgba, opaque) for p, m in zip(row, mrow) if m]
    unique = sorted(set(colours))
    palette = unique if len(unique) <= 256 else sorted(median_cut(colours, 256))
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
        return cache[c]

    indices = [[nearest(p[:3]) if m else 0 for p, m in zip(row, mrow)] for row, mrow in zip(rgba, opaque)]
    palette = palette + [(0, 0, 0)] * (256 - len(palette))
    return palette, indices, opaque

# --------------------------------------------------------------------------
# File formats.

def png_bytes(rgba):
    height, width = len(rgba), len(rgba[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rgba)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def mask_rows(opaque):
    """The AND mask, bottom-up, 1 = clear, rows padded to 32 bits."""
    width = len(opaque[0])
    stride = (width + 31) // 32 * 4
    out = b""
    for row in reversed(opaque):
        bits = bytearray(stride)
        for x, m in enumerate(row):
            if not m:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def dib(width, height, bpp, palette, index_rows, opaque):
    """A BITMAPINFOHEADER image as icons and cursors hold it (XOR, then AND)."""
    stride = (width * bpp + 31) // 32 * 4
    pixels = b""
    for row in reversed(index_rows):
        bits = bytearray(stride)
        for x, v in enumerate(row):
            if bpp == 8:
                bits[x] = v
            elif bpp == 1 and v:
                bits[x // 8] |= 0x80 >> (x % 8)
        pixels += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bpp, 0,
                         len(pixels) + len(mask_rows(opaque)), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + pixels + mask_rows(opaque)


def icon_file(kind, width, height, colour_count, field1, field2, image):
    """An icon (kind 1) or cursor (kind 2) file holding one image. For a
    cursor field1/field2 are the hot spot; for an icon planes and bit count."""
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, colour_count % 256, 0,
                        field1, field2, len(image), 6 + 16)
    return struct.pack("<HHH", 0, kind, 1) + entry + image

# --------------------------------------------------------------------------
# The hand pointer: index finger up, hot spot at its tip ('*').
# 'X' black, 'o' white, '.' clear.

HAND = """
......*X..........
.....XooX.........
.....XooX.........
.....XooX.........
.....XooX.........
.....XooXXX.......
.....XooXooXXX....
.....XooXooXooX...
.....XooXooXooXXX.
.XX..XooXooXooXooX
XooX.XoooooooooooX
XoooXXoooooooooooX
.XoooooooooooooooX
..XooooooooooooooX
..XoooooooooooooX.
...XooooooooooooX.
...XoooooooooooX..
....XooooooooooX..
....XooooooooooX..
.....XoooooooooX..
.....XXXXXXXXXXX..
"""


def hand_pointer():
    art = [line for line in HAND.strip("\n").split("\n")]
    size = 32
    colour = [[0] * size for _ in range(size)]
    opaque = [[False] * size for _ in range(size)]
    hot = None
    left = 3
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            if ch == ".":
                continue
            if ch == "*":
                hot = (left + x, y)
            opaque[y][left + x] = True
            colour[y][left + x] = 1 if ch == "o" else 0
    image = dib(size, size, 1, [(0, 0, 0), (255, 255, 255)], colour, opaque)
    return icon_file(2, size, size, 2, hot[0], hot[1], image), hot

# --------------------------------------------------------------------------
# The runner's face: a console window with a command prompt, one hex digit
# per pixel indexing the 16 standard Windows colours, '.' clear.

CONSOLE = """
................................
................................
.FFFFFFFFFFFFFFFFFFFFFFFFFFFFF0.
.F44444444444444444444444444480.
.F4EEE4444444444477747774777480.
.F4EEE4FFFFFFFF4477747774707480.
.F4EEE4444444444488848884888480.
.F44444444444444444444444444480.
.F70000000000000000000000000780.
.F70000000000000000000000000780.
.F70007700070007000000000000780.
.F70070007070000700000000000780.
.F70070000007000070000000000780.
.F70070007000700700000000000780.
.F70007700000707000FFF000000780.
.F70000000000000000000000000780.
.F70000000000000000000000000780.
.F70000000000000000000000000780.
.F70088808880888088800000000780.
.F70000000000000000000000000780.
.F70000000000000000000000000780.
.F70088808880880000000000000780.
.F70000000000000000000000000780.
.F70000000000000000000000000780.
.F70088808880888080000000000780.
.F70000000000000000000000000780.
.F70000000000000000000000000780.
.F88888888888888888888888888880.
.000000000000000000000000000000.
................................
................................
................................
"""

WINDOWS_16 = [hexrgb(c) for c in (
    "000000", "800000", "008000", "808000", "000080", "800080", "008080", "C0C0C0",
    "808080", "FF0000", "00FF00", "FFFF00", "0000FF", "FF00FF", "00FFFF", "FFFFFF")]


def console_icon():
    art = CONSOLE.strip("\n").split("\n")
    return [[(0, 0, 0, 0) if ch == "." else WINDOWS_16[int(ch, 16)] + (255,) for ch in line] for line in art]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else here
    windows_out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "..", "..", "windows", "ui", "resources")
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)

    small = to_bytes(render(32, 6))
    palette, indices, opaque = quantize(small)
    flat = [[palette[i] + (255,) if m else (0, 0, 0, 0) for i, m in zip(row, mrow)]
            for row, mrow in zip(indices, opaque)]
    with open(os.path.join(out, "icons", "32.png"), "wb") as f:
        f.write(png_bytes(flat))
    # The same pixels as a Windows icon: an 8-bit DIB with its palette and
    # the AND mask for the clear parts (planes 1, 8 bits per pixel).
    os.makedirs(windows_out, exist_ok=True)
    with open(os.path.join(windows_out, "app.ico"), "wb") as f:
        f.write(icon_file(1, 32, 32, 256, 1, 8, dib(32, 32, 8, palette, indices, opaque)))
    for size in (48, 64, 128, 256):
        with open(os.path.join(out, "icons", "%d.png" % size), "wb") as f:
            f.write(png_bytes(to_bytes(render(size, 4 if size <= 64 else 3))))

    cursor, hot = hand_pointer()
    with open(os.path.join(out, "Hand.cur"), "wb") as f:
        f.write(cursor)
    print("hot spot", hot)

    with open(os.path.join(out, "console.png"), "wb") as f:
        f.write(png_bytes(console_icon()))


if __name__ == "__main__":
    main()

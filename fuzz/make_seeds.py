#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the generated binary seeds of fuzz/corpus: SMBIOS tables, cursor
files and UTF-16 output chunks. The text seeds are kept as they are."""

import pathlib
import struct
import zlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


def structure(kind, formatted, strings=b""):
    head = struct.pack("<BBH", kind, 4 + len(formatted), 0x1234)
    return head + formatted + (strings + b"\0" if strings else b"\0\0")


def memory_device(size, length=0x28, extended=0):
    f = bytearray(length - 4)
    if length >= 0x0E:
        f[0x0C - 4:0x0E - 4] = struct.pack("<H", size)
    if length >= 0x20:
        f[0x1C - 4:0x20 - 4] = struct.pack("<I", extended)
    return structure(17, bytes(f), b"DIMM_A1\0BANK 0\0")


END = structure(127, b"")


def smbios():
    bios = structure(0, bytes(0x14), b"Example\0" b"1.0\0" b"01/01/2008\0")
    array = structure(16, bytes([3, 3, 3]) + struct.pack("<I", 0x1000000) + bytes(4) + b"\4\0")
    return {
        "server-table": bios + array + memory_device(512) + memory_device(0) + memory_device(0xFFFF)
        + memory_device(0x7FFF, 0x28, 16384) + END,
        "kilobytes": memory_device(0x8000 | 512) + END,
        "short-structures": memory_device(512, 0x0D) + memory_device(0x7FFF, 0x1F, 40960) + END,
        "no-end-marker": array + memory_device(2048),
    }


def cursor(image, width, height, hot=(0, 0)):
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width & 0xFF, height & 0xFF, 0, 0, hot[0], hot[1], len(image), 22)
    return directory + entry + image


def bmp_picture(width, height):
    row = ((width + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = b"\0\0\0\0" + b"\xff\xff\xff\0"
    return header + palette + b"\x55" * (row * height) + b"\x0f" * (row * height)


def png_picture(width, height):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + b"\x20\x40\x60\xff" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def made_directory(picture, width, height, hot=(0, 0)):
    """The fuzz target's other input form: flag byte, entry fields, picture."""
    return b"\1" + struct.pack("<BBBBHH", width & 0xFF, height & 0xFF, 0, 0, hot[0], hot[1]) + picture


def cursors():
    return {
        "tiny-1x1.cur": cursor(bmp_picture(1, 1), 1, 1),
        "png-16x16.cur": cursor(png_picture(16, 16), 16, 16, (3, 4)),
        "made-directory-bmp": made_directory(bmp_picture(8, 8), 8, 8, (7, 7)),
        "made-directory-png": made_directory(png_picture(4, 4), 4, 4, (1, 2)),
    }


def chunks():
    texts = {
        "crlf": "Windows IP Configuration\r\n\r\nEthernet adapter:\r\n",
        "lone-lf-and-cr": "a\nb\rc\r\r\nd\n\r",
        "split-pair": "end of chunk\r\nnext",
        "old-mac": "Physical Address. . . : 00-0C-29-4F-1A-2B\r        Dhcp\r",
        "non-latin": "Näherung \u00e9t\u00e9 \u4e2d\u6587\n\ud83d\ude00\n",
    }
    # The first byte says where the text is cut into two chunks (0..255 of its length).
    out = {name: b"\x80" + text.encode("utf-16-le", "surrogatepass") for name, text in texts.items()}
    out["split-pair"] = b"\xb9" + texts["split-pair"].encode("utf-16-le")  # between CR and LF
    out["lone-surrogate"] = b"\x00\x3d\xd8\x0a\x00\x0d\x00"  # U+D83D alone, LF, CR
    return out


def write(target, files):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (folder / name).write_bytes(data)


if __name__ == "__main__":
    write("smbios", smbios())
    write("cursor", cursors())
    write("normalise", chunks())

// SPDX-License-Identifier: MIT
#include "ui/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

#include <algorithm>

namespace qni {

namespace {

// A cursor holds a few small pictures; anything bigger is not one.
constexpr qint64 kMaxFileSize = 1 << 20;
constexpr int kMaxSide = 256;

constexpr int kDirSize = 6;
constexpr int kEntrySize = 16;
constexpr int kInfoHeaderSize = 40;

quint16 u16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char* p) { return qFromLittleEndian<quint32>(p); }
qint32 i32(const char* p) { return qFromLittleEndian<qint32>(p); }

// The picture's own header must describe something a cursor could be before
// the decoder is asked to allocate for it.
bool plausibleImage(const QByteArray& image)
{
    static const QByteArray kPngMagic("\x89PNG\r\n\x1a\n", 8);
    if (image.startsWith(kPngMagic)) {
        // The IHDR chunk's size, checked before decoding: a small file may
        // claim a picture large enough to cost megabytes to decode.
        if (image.size() < 24)
            return false;
        const quint32 width = qFromBigEndian<quint32>(image.constData() + 16);
        const quint32 height = qFromBigEndian<quint32>(image.constData() + 20);
        return width > 0 && width <= quint32(kMaxSide) && height > 0 && height <= quint32(kMaxSide);
    }
    if (image.size() < kInfoHeaderSize)
        return false;
    const char* h = image.constData();
    const qint32 width = i32(h + 4);
    const qint32 height = i32(h + 8); // colour and mask stacked
    return u32(h) >= kInfoHeaderSize && width > 0 && width <= kMaxSide && height > 0 && height <= 2 * kMaxSide;
}

} // namespace

std::optional<CursorPicture> parseCursorFile(const QByteArray& bytes)
{
    if (bytes.size() < kDirSize + kEntrySize)
        return std::nullopt;
    const char* d = bytes.constData();
    const quint16 reserved = u16(d);
    const quint16 type = u16(d + 2);
    const quint16 count = u16(d + 4);
    if (reserved != 0 || type != 2 || count == 0)
        return std::nullopt;
    const qint64 directoryEnd = kDirSize + qint64(count) * kEntrySize;
    if (bytes.size() < directoryEnd)
        return std::nullopt;

    // In a cursor the icon's planes and bit-count fields hold the hot spot.
    const char* e = d + kDirSize;
    const QPoint hotSpot(u16(e + 4), u16(e + 6));
    const qint64 length = u32(e + 8);
    const qint64 offset = u32(e + 12);
    if (length == 0 || offset < directoryEnd || offset + length > bytes.size())
        return std::nullopt;
    const QByteArray image = bytes.mid(offset, length);
    if (!plausibleImage(image))
        return std::nullopt;

    // The decoder gets that one picture as a one-entry icon, so what it reads
    // is exactly what was checked, whatever it makes of cursor fields.
    QByteArray icon(kDirSize + kEntrySize, '\0');
    char* o = icon.data();
    qToLittleEndian<quint16>(1, o + 2);
    qToLittleEndian<quint16>(1, o + 4);
    std::copy(e, e + 4, o + kDirSize); // width, height, colour count, reserved
    qToLittleEndian<quint16>(1, o + kDirSize + 4);
    qToLittleEndian<quint32>(quint32(length), o + kDirSize + 8);
    qToLittleEndian<quint32>(kDirSize + kEntrySize, o + kDirSize + 12);
    icon += image;

    QBuffer buffer(&icon);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    reader.setAutoDetectImageFormat(false);
    QImage picture = reader.read();
    if (picture.isNull() || picture.width() > kMaxSide || picture.height() > kMaxSide ||
        !picture.rect().contains(hotSpot))
        return std::nullopt;
    return CursorPicture{std::move(picture), hotSpot};
}

std::optional<CursorPicture> readCursorFile(const QString& path)
{
    // Only a regular file: opening a pipe or a device could block or never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        return std::nullopt;
    return parseCursorFile(bytes);
}

QCursor loadPointer(const QString& path)
{
    const std::optional<CursorPicture> picture = readCursorFile(path);
    if (!picture)
        return QCursor(Qt::PointingHandCursor);
    return QCursor(QPixmap::fromImage(picture->image), picture->hotSpot.x(), picture->hotSpot.y());
}

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

namespace qni {

// One picture of a Windows cursor (.cur) file and the point of it that
// touches the screen position.
struct CursorPicture {
    QImage image;
    QPoint hotSpot;
};

// The first picture of a cursor file's bytes. Nothing for anything else: an
// icon, a truncated file, an entry pointing outside the file, an image that
// does not decode, a hot spot outside the image.
std::optional<CursorPicture> parseCursorFile(const QByteArray& bytes);

// The same for a file; nothing when it is missing, is not a regular file or
// is far larger than any cursor.
std::optional<CursorPicture> readCursorFile(const QString& path);

// The pointer the file holds, else the desktop's pointing hand.
QCursor loadPointer(const QString& path);

} // namespace qni

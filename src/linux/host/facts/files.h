// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qni {

// Host facts are read under a root folder so that tests can put a recorded
// tree in place of "/". absolutePath is the path on a real host.
QString underRoot(const QString& root, const QString& absolutePath);

// The first maxBytes of a regular file, or nullopt when it is missing, not a
// regular file (a FIFO would block) or unreadable. /proc and /sys report a
// size of 0, so the file is read to its end rather than by its size.
std::optional<QByteArray> readHostFile(const QString& path, qint64 maxBytes);

// The common sizes: a one-value /sys attribute, and a text table from /proc.
inline constexpr qint64 kAttributeBytes = 4096;
inline constexpr qint64 kTableBytes = 16 * 1024 * 1024;

// Reads a text line by line: each line without its LF; the text after the
// last LF is a line when it is not empty.
class LineReader {
public:
    explicit LineReader(QByteArrayView text) : rest_(text) {}

    // The next line, or nullopt once the text is used up.
    std::optional<QByteArrayView> next()
    {
        if (rest_.isEmpty())
            return std::nullopt;
        const qsizetype end = rest_.indexOf('\n');
        const QByteArrayView line = end < 0 ? rest_ : rest_.first(end);
        rest_ = end < 0 ? QByteArrayView() : rest_.sliced(end + 1);
        return line;
    }

private:
    QByteArrayView rest_;
};

// Unsigned decimal or hexadecimal (optional "0x") text, surrounding blanks
// allowed; nullopt on anything else or on overflow.
std::optional<quint64> parseUnsigned(QByteArrayView text, int base = 10);

} // namespace qni

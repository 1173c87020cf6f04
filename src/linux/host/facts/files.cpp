// SPDX-License-Identifier: MIT
#include "host/facts/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace qni {

QString underRoot(const QString& root, const QString& absolutePath)
{
    QString relative = absolutePath;
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    return QDir(root.isEmpty() ? QStringLiteral("/") : root).filePath(relative);
}

std::optional<QByteArray> readHostFile(const QString& path, qint64 maxBytes)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray bytes;
    char buffer[16384];
    while (bytes.size() < maxBytes) {
        const qint64 want = qMin<qint64>(sizeof buffer, maxBytes - bytes.size());
        const qint64 got = file.read(buffer, want);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    return bytes;
}

std::optional<quint64> parseUnsigned(QByteArrayView text, int base)
{
    QByteArrayView t = text.trimmed();
    if (base == 16 && (t.startsWith("0x") || t.startsWith("0X")))
        t = t.sliced(2);
    if (t.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const char c : t) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        if (value > (std::numeric_limits<quint64>::max() - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

} // namespace qni

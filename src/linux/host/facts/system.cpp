// SPDX-License-Identifier: MIT
#include "host/facts/system.h"

#include "host/qt_text.h"

#include "host/facts/files.h"

#include <algorithm>
#include <optional>

namespace qni {

namespace {

bool isNameStart(char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }
// Inside double quotes a backslash escapes only these.
bool isEscapable(char c) { return c == '$' || c == '`' || c == '"' || c == '\\'; }
bool isHexDigit(QChar c) { return c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// The value after '=', or nullopt when a quote is left open. An unquoted
// blank ends the value, as it ends a shell word.
std::optional<QByteArray> shellValue(QByteArrayView text)
{
    enum { Plain, Single, Double } state = Plain;
    QByteArray value;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (state == Single) {
            if (c == '\'')
                state = Plain;
            else
                value += c;
        } else if (state == Double) {
            if (c == '"')
                state = Plain;
            else if (c == '\\' && hasNext && isEscapable(text[i + 1]))
                value += text[++i];
            else
                value += c;
        } else if (c == '\\') {
            if (hasNext)
                value += text[++i];
        } else if (c == '\'') {
            state = Single;
        } else if (c == '"') {
            state = Double;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            break;
        } else {
            value += c;
        }
    }
    if (state != Plain)
        return std::nullopt;
    return value;
}

QString firstLine(const QString& root, QLatin1String path)
{
    const auto bytes = readHostFile(underRoot(root, path), kAttributeBytes);
    return bytes ? QString::fromUtf8(bytes->trimmed()) : QString();
}

} // namespace

QHash<QString, QString> parseOsRelease(QByteArrayView text)
{
    QHash<QString, QString> values;
    LineReader lines(text);
    while (const auto next = lines.next()) {
        const QByteArrayView line = next->trimmed();
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || !isNameStart(line[0]))
            continue;
        const QByteArrayView name = line.first(equals);
        if (!std::all_of(name.begin(), name.end(), isNameChar))
            continue;
        if (const auto value = shellValue(line.sliced(equals + 1)))
            values.insert(QString::fromLatin1(name), QString::fromUtf8(*value));
    }
    return values;
}

HostIdentity readHostIdentity(const QString& root)
{
    QString name;
    std::optional<QByteArray> osRelease = readHostFile(underRoot(root, QStringLiteral("/etc/os-release")), kAttributeBytes);
    if (!osRelease)
        osRelease = readHostFile(underRoot(root, QStringLiteral("/usr/lib/os-release")), kAttributeBytes);
    const QHash<QString, QString> os = parseOsRelease(osRelease.value_or(QByteArray()));
    name = os.value(QStringLiteral("PRETTY_NAME"));
    if (name.isEmpty()) {
        // os-release's own default for NAME is the kernel's name.
        name = os.value(QStringLiteral("NAME"));
        if (name.isEmpty())
            name = firstLine(root, QLatin1String("/proc/sys/kernel/ostype"));
        if (name.isEmpty())
            name = QStringLiteral("Linux");
        if (const QString version = os.value(QStringLiteral("VERSION")); !version.isEmpty())
            name += QLatin1Char(' ') + version;
    }
    HostIdentity identity;
    identity.name = fromQt(name);

    // Anything but the 32 digits (systemd's "uninitialized" on a first boot,
    // a truncated file) is no id.
    const QString id = firstLine(root, QLatin1String("/etc/machine-id"));
    if (id.size() == 32 && std::all_of(id.begin(), id.end(), isHexDigit))
        identity.installationId = fromQt(id);

    identity.kernelRelease = fromQt(firstLine(root, QLatin1String("/proc/sys/kernel/osrelease")));
    return identity;
}

} // namespace qni

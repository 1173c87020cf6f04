// SPDX-License-Identifier: MIT
#include "host/facts/name_servers.h"

#include "host/facts/files.h"

#include <QList>

namespace qni {

namespace {

bool isDottedIpv4(const QByteArray& text)
{
    const QList<QByteArray> parts = text.split('.');
    if (parts.size() != 4)
        return false;
    for (const QByteArray& p : parts) {
        if (p.isEmpty() || p.size() > 3 || parseUnsigned(p).value_or(256) > 255)
            return false;
        for (const char c : p) {
            if (c < '0' || c > '9')
                return false;
        }
    }
    return true;
}

} // namespace

QStringList parseNameServers(QByteArrayView resolvConf)
{
    QStringList servers;
    LineReader lines(resolvConf);
    while (const auto line = lines.next()) {
        const QList<QByteArray> fields = line->toByteArray().simplified().split(' ');
        if (fields.size() >= 2 && fields[0] == "nameserver" && isDottedIpv4(fields[1]))
            servers.append(QString::fromLatin1(fields[1]));
    }
    return servers;
}

QStringList readNameServers(const QString& root)
{
    const auto conf = readHostFile(underRoot(root, QStringLiteral("/etc/resolv.conf")), kTableBytes);
    return conf ? parseNameServers(*conf) : QStringList();
}

} // namespace qni

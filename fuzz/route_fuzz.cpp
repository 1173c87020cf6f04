// SPDX-License-Identifier: MIT
// /proc/net/route (the default-route interface and ipconfig's gateways) and
// resolv.conf's name servers.

#include "fuzz_support.h"

#include "host/facts/name_servers.h"
#include "host/facts/routes.h"

using namespace qni;

namespace {

// Four decimal parts of 0..255; canonical ones are as QString::number writes them.
bool isDottedQuad(const QString& s, bool canonical)
{
    const QStringList parts = s.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return false;
        for (const QChar c : p) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        const uint n = p.toUInt();
        if (n > 255 || (canonical && p != QString::number(n)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));

    const std::vector<DefaultRoute> routes = parseDefaultRoutes(text);
    // The interface named is the first field of one of the lines.
    const QString iface = defaultRouteInterface(routes);
    if (!iface.isEmpty())
        QNI_FUZZ_CHECK(!iface.contains(QLatin1Char(' ')) && !iface.contains(QLatin1Char('\n')));

    const QHash<QString, QString> gateways = defaultGateways(routes);
    for (auto it = gateways.cbegin(); it != gateways.cend(); ++it) {
        QNI_FUZZ_CHECK(!it.key().isEmpty());
        QNI_FUZZ_CHECK(isDottedQuad(it.value(), true) && it.value() != QLatin1String("0.0.0.0"));
    }

    for (const QString& server : parseNameServers(text))
        QNI_FUZZ_CHECK(isDottedQuad(server, false));
    return 0;
}

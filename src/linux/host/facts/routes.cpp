// SPDX-License-Identifier: MIT
#include "host/facts/routes.h"

#include "host/facts/files.h"

#include <QList>

#include <cstring>

namespace qni {

namespace {

constexpr quint64 kRouteUp = 0x1;      // RTF_UP
constexpr quint64 kRouteGateway = 0x2; // RTF_GATEWAY

// The kernel prints an address as the number its network-order bytes make in
// this machine's own order: those bytes in memory are the dotted form's parts.
QString dottedFromKernel(quint32 address)
{
    unsigned char b[4];
    std::memcpy(b, &address, sizeof b);
    return QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

} // namespace

std::vector<DefaultRoute> parseDefaultRoutes(QByteArrayView routeTable)
{
    std::vector<DefaultRoute> routes;
    LineReader lines(routeTable);
    while (const auto line = lines.next()) {
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
        const QList<QByteArray> fields = line->toByteArray().simplified().split(' ');
        if (fields.size() < 8 || fields[0].isEmpty())
            continue;
        const auto destination = parseUnsigned(fields[1], 16);
        const auto gateway = parseUnsigned(fields[2], 16);
        const auto flags = parseUnsigned(fields[3], 16);
        const auto metric = parseUnsigned(fields[6]);
        const auto mask = parseUnsigned(fields[7], 16);
        if (!destination || !gateway || *gateway > 0xffffffffu || !flags || !metric || !mask)
            continue;
        if (*destination != 0 || *mask != 0 || !(*flags & kRouteUp))
            continue;
        DefaultRoute route{QString::fromUtf8(fields[0]), {}, *metric};
        if ((*flags & kRouteGateway) && *gateway != 0)
            route.gateway = dottedFromKernel(quint32(*gateway));
        routes.push_back(std::move(route));
    }
    return routes;
}

std::vector<DefaultRoute> readDefaultRoutes(const QString& root)
{
    const auto table = readHostFile(underRoot(root, QStringLiteral("/proc/net/route")), kTableBytes);
    return table ? parseDefaultRoutes(*table) : std::vector<DefaultRoute>{};
}

QString defaultRouteInterface(const std::vector<DefaultRoute>& routes)
{
    const DefaultRoute* best = nullptr;
    for (const DefaultRoute& route : routes) {
        if (!best || route.metric < best->metric)
            best = &route;
    }
    return best ? best->interfaceName : QString();
}

QHash<QString, QString> defaultGateways(const std::vector<DefaultRoute>& routes)
{
    QHash<QString, const DefaultRoute*> best;
    for (const DefaultRoute& route : routes) {
        if (route.gateway.isEmpty())
            continue;
        const DefaultRoute*& chosen = best[route.interfaceName];
        if (!chosen || route.metric < chosen->metric)
            chosen = &route;
    }
    QHash<QString, QString> gateways;
    for (auto it = best.cbegin(); it != best.cend(); ++it)
        gateways.insert(it.key(), it.value()->gateway);
    return gateways;
}

bool readIpForwarding(const QString& root)
{
    const auto text = readHostFile(underRoot(root, QStringLiteral("/proc/sys/net/ipv4/ip_forward")), kAttributeBytes);
    return text && text->trimmed() == "1";
}

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <vector>

namespace qni {

// An IPv4 default route that is up.
struct DefaultRoute {
    QString interfaceName;
    QString gateway; // dotted decimal; empty when the route has none
    quint64 metric = 0;

    bool operator==(const DefaultRoute&) const = default;
};

// The up IPv4 default routes of the kernel's IPv4 routing table text, in
// table order. Lines that are not routes (the header, damaged lines) are
// skipped.
std::vector<DefaultRoute> parseDefaultRoutes(QByteArrayView routeTable);

// The host's default routes under root; none when the table cannot be read.
std::vector<DefaultRoute> readDefaultRoutes(const QString& root);

// The interface that carries the default route: the lowest metric wins, the
// first of equals; empty when there is none.
QString defaultRouteInterface(const std::vector<DefaultRoute>& routes);

// Each interface's default gateway: that of its lowest-metric default route
// that has one. Interfaces whose default routes have none are left out.
QHash<QString, QString> defaultGateways(const std::vector<DefaultRoute>& routes);

// Whether the host under root forwards IPv4 packets.
bool readIpForwarding(const QString& root);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace qni {

// The IPv4 "nameserver" entries of a resolver configuration text, in order.
QStringList parseNameServers(QByteArrayView resolvConf);

// The host's IPv4 name servers under root; none when the configuration
// cannot be read.
QStringList readNameServers(const QString& root);

} // namespace qni

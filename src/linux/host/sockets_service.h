// SPDX-License-Identifier: MIT
#pragma once

#include "host/facts/adapters.h"

#include <QString>

#include <vector>

namespace qni {

// The address the sockets control reports as local: the IPv4 address of the
// interface carrying the default route; else the first non-loopback IPv4
// address, of an interface that is up when there is one; else 127.0.0.1.
QString chooseLocalAddress(const std::vector<Adapter>& adapters);

} // namespace qni

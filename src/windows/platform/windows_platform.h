// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"
#include "platform/platform.h"

namespace qni {

// The public-address page over plain http: Windows XP's WinINet speaks none
// of the TLS versions that https pages require today.
inline const Text kWindowsPublicAddressPage = u"http://api.ipify.org";

// The machine's own services, version and number format. COM starts on the
// calling thread at the first management bind, and that thread is the
// program's only one.
Platform windowsPlatform();

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"


namespace qni {

// The page that echoes the caller's public address unless the user names
// another. It answers with the bare address, so the network section shows
// the page text whole.
inline const Text kPublicAddressPage = u"https://api.ipify.org";

} // namespace qni

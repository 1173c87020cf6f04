// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"
#include "resources/product.h"

namespace qni {

// The main window's caption and the "not XP" message box's.
inline constexpr wchar_t kApplicationName[] = L"" QNI_PRODUCT_NAME;
inline constexpr wchar_t kMakerName[] = L"" QNI_MAKER_NAME;
// The maker's page: the About box's link shows it and opens it.
inline const Text kMakerAddress = u"" QNI_MAKER_ADDRESS;

} // namespace qni

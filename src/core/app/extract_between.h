// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"


namespace qni {

// The text between the first occurrence of sStartMark in sText and the next
// occurrence of sEndMark after it. Searches are exact. Never fails: a missing
// marker, an end marker before the start marker, or a start or end position
// beyond the window's 16-bit range (32,767) all give the empty text.
Text ExtractBetween(const Text& sText, const Text& sStartMark, const Text& sEndMark);

} // namespace qni

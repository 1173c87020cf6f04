// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace qni {

// The textual address forms that inet_pton accepts, without inet_pton, which
// Windows XP lacks: dotted decimal IPv4 of four parts, each 0..255 without
// leading zeros; IPv6 of eight 1-4 digit hexadecimal groups, at most one "::"
// standing for one or more zero groups, optionally ending in a dotted IPv4
// that counts as two groups. No zone ids, no blanks.
bool isIpv4Address(std::u16string_view text);
bool isIpv6Address(std::u16string_view text);
bool isIpAddress(std::u16string_view text);

// text without the ASCII white space at its ends.
std::u16string_view trimmedAsciiSpace(std::u16string_view text);

} // namespace qni

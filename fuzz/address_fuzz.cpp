// SPDX-License-Identifier: MIT
// The address check, against glibc's inet_pton as the oracle. Input: the
// text, one byte per UTF-16 code unit; a NUL ends a C string early, so such
// inputs must simply be refused.

#include "fuzz_support.h"

#include "base/ip_address.h"

#include <arpa/inet.h>

#include <string>

using namespace qni;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text(bytes.begin(), bytes.end()); // bytes above 0x7F stay non-ASCII units

    unsigned char binary[16];
    const bool v4 = bytes.find('\0') == std::string::npos && inet_pton(AF_INET, bytes.c_str(), binary) == 1;
    const bool v6 = bytes.find('\0') == std::string::npos && inet_pton(AF_INET6, bytes.c_str(), binary) == 1;
    QNI_FUZZ_CHECK(isIpv4Address(text) == v4);
    QNI_FUZZ_CHECK(isIpv6Address(text) == v6);
    QNI_FUZZ_CHECK(isIpAddress(text) == (v4 || v6));

    // Trimming takes blanks off the ends, and nothing else.
    const auto blank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    const std::u16string_view trimmed = trimmedAsciiSpace(text);
    const size_t from = size_t(trimmed.data() - text.data());
    QNI_FUZZ_CHECK(trimmed.empty() || (!blank(trimmed.front()) && !blank(trimmed.back())));
    for (size_t i = 0; i < text.size(); ++i)
        QNI_FUZZ_CHECK((i >= from && i < from + trimmed.size()) || blank(text[i]));
    return 0;
}

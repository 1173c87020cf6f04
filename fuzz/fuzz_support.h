// SPDX-License-Identifier: MIT
#pragma once

// Shared by the fuzz targets: input slicing and an invariant check that
// libFuzzer reports as a crash, with the input that broke it.

#include <sanitizer/common_interface_defs.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/text.h"

namespace qni::fuzz {

// Reported through the sanitizers, whose output survives -close_fd_mask=2.
[[noreturn]] inline void fail(const char* what, const char* file, int line)
{
    char message[512];
    std::snprintf(message, sizeof message, "%s:%d: invariant broken: %s", file, line, what);
    __sanitizer_report_error_summary(message);
    std::abort();
}

#define QNI_FUZZ_CHECK(cond) ((cond) ? void(0) : ::qni::fuzz::fail(#cond, __FILE__, __LINE__))

inline std::string_view bytes(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// N parts at the first N-1 separator bytes; missing parts are empty, the last
// one keeps any further separators.
template <std::size_t N>
std::array<std::string_view, N> split(std::string_view input, char separator)
{
    std::array<std::string_view, N> parts{};
    for (std::size_t i = 0; i + 1 < N; ++i) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos) {
            parts[i] = input;
            return parts;
        }
        parts[i] = input.substr(0, at);
        input.remove_prefix(at + 1);
    }
    parts[N - 1] = input;
    return parts;
}

// Raw UTF-16 code units, unpaired surrogates included: what a text can hold,
// not just what valid UTF-8 decodes to.
inline Text utf16(std::string_view b)
{
    Text s(b.size() / 2, u'\0');
    std::memcpy(s.data(), b.data(), s.size() * sizeof(char16_t)); // b may be unaligned
    return s;
}

inline Text utf8(std::string_view b) { return fromUtf8(b); }

} // namespace qni::fuzz

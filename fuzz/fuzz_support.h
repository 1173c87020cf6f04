// SPDX-License-Identifier: MIT
#pragma once

// Shared by the fuzz targets: input slicing and an invariant check that
// libFuzzer reports as a crash, with the input that broke it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sanitizer/common_interface_defs.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

inline QByteArrayView bytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

// N parts at the first N-1 separator bytes; missing parts are empty, the last
// one keeps any further separators.
template <std::size_t N>
std::array<QByteArrayView, N> split(QByteArrayView input, char separator)
{
    std::array<QByteArrayView, N> parts{};
    for (std::size_t i = 0; i + 1 < N; ++i) {
        const qsizetype at = input.indexOf(separator);
        if (at < 0) {
            parts[i] = input;
            return parts;
        }
        parts[i] = input.first(at);
        input = input.sliced(at + 1);
    }
    parts[N - 1] = input;
    return parts;
}

// Raw UTF-16 code units, unpaired surrogates included: what a QString can
// hold, not just what valid UTF-8 decodes to.
inline QString utf16(QByteArrayView b)
{
    QString s(b.size() / 2, Qt::Uninitialized);
    std::memcpy(s.data(), b.data(), std::size_t(s.size()) * sizeof(QChar)); // b may be unaligned
    return s;
}

inline QString utf8(QByteArrayView b) { return QString::fromUtf8(b); }

} // namespace qni::fuzz

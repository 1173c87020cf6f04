// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <limits>

#include "base/step_failed.h"

namespace qni {

// The window's counters and text positions are 16-bit signed integers: a
// value outside their range makes the statement that computes it fail.
using Int16 = std::int16_t;

constexpr bool fitsInt16(long long v) noexcept
{
    return v >= std::numeric_limits<Int16>::min() && v <= std::numeric_limits<Int16>::max();
}

// Stores a wider result into a 16-bit variable; throws StepFailed ("Overflow")
// when it does not fit.
inline Int16 toInt16(long long v)
{
    if (!fitsInt16(v))
        throw StepFailed("Overflow");
    return static_cast<Int16>(v);
}

// 16-bit arithmetic: every intermediate result must fit.
inline Int16 add16(Int16 a, Int16 b) { return toInt16(static_cast<long long>(a) + b); }
inline Int16 sub16(Int16 a, Int16 b) { return toInt16(static_cast<long long>(a) - b); }
inline Int16 mul16(Int16 a, Int16 b) { return toInt16(static_cast<long long>(a) * b); }

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

// The one line per figure that scripts/bench.sh collects:
//   figure <name> <value> <unit> goal<=<limit>   (or goal>=<limit>)
#include <algorithm>
#include <cstdio>
#include <vector>

namespace qni::bench {

enum class Goal { AtMost, AtLeast };

inline void printFigure(const char* name, double value, const char* unit, Goal goal, double limit)
{
    std::printf("figure %s %.*f %s goal%s%g\n", name, value < 1 ? 3 : 2, value, unit,
                goal == Goal::AtMost ? "<=" : ">=", limit);
    std::fflush(stdout);
}

// The middle of the values: what a noisy machine disturbs least.
inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace qni::bench

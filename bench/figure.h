// SPDX-License-Identifier: MIT
#pragma once

// The one line per figure that scripts/bench.sh collects:
//   figure <name> <value> <unit> goal<=<limit>   (or goal>=<limit>)
#include <cstdio>

namespace qni::bench {

enum class Goal { AtMost, AtLeast };

inline void printFigure(const char* name, double value, const char* unit, Goal goal, double limit)
{
    std::printf("figure %s %.*f %s goal%s%g\n", name, value < 1 ? 3 : 2, value, unit,
                goal == Goal::AtMost ? "<=" : ">=", limit);
    std::fflush(stdout);
}

} // namespace qni::bench

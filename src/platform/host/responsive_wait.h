// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace qni {

// Waits for work outside the program (a command's output, a page's transfer)
// without freezing the window. `step(waitMs)` does what can be done now, then
// waits at most waitMs milliseconds for more (-1: as long as it takes), and
// returns true once the wait is over.
//
// On the thread of a running QCoreApplication a step waits only a short slice
// and the window handles its events between slices: it keeps painting and
// its close box still works, but clicks and keys that arrive meanwhile are
// dropped, so nothing new can start from inside the wait. Elsewhere (the
// bundled tools) the steps simply block.
void waitResponsively(const std::function<bool(int waitMs)>& step);

// As waitResponsively, until `fd` can be read without blocking: data, the end
// of the output, or an error.
void waitReadable(int fd);

} // namespace qni

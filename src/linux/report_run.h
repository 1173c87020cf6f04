// SPDX-License-Identifier: MIT
#pragma once

#include "app/command_line.h"

namespace qni {

struct Platform;

// Must run before the application object exists: a report needs no display,
// so it takes the offscreen platform unless the user chose one.
void prepareReportRun();

// One gather exactly as the window runs it, on the main window created but
// never shown; prints the report and returns the exit status: 0 gathered,
// 3 a Windows that is not XP (the object is still printed), 1 when standard output
// could not take the report.
int runReport(RunMode mode, Platform platform, const GatherSettings& settings);

} // namespace qni

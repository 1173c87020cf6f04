// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"


#include <optional>
#include <vector>

namespace qni {

// How one start of the program answers: with its window, or with one gather
// printed on standard output.
enum class RunMode { Window, TextReport, Json };

// What the program's command line asks for.
struct CommandLine {
    RunMode mode = RunMode::Window;
    GatherSettings settings;
    // Set when the program is to end before any window opens: 0 after
    // --help and --version, 2 for a bad option or address.
    std::optional<int> exitStatus;
    Text output; // for standard output
    Text error;  // one line for standard error
};

// Reads the arguments, the program's path first. What the reading has to say
// is in output and error, for the shell to print.
// The page is the shell's default public-address page.
CommandLine parseCommandLine(const std::vector<Text>& arguments, const Text& defaultPage = kPublicAddressPage);

} // namespace qni

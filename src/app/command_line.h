// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"

#include <QString>
#include <QStringList>

#include <optional>

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
    QString output; // for standard output
    QString error;  // one line for standard error
};

// Reads the arguments, the program's path first.
CommandLine parseCommandLine(const QStringList& arguments);

// Reads the process's arguments and prints what the reading has to say.
CommandLine readCommandLine(int argc, char** argv);

} // namespace qni

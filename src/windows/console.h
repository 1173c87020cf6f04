// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <string>

namespace qni {

// The standard streams of a program built for the window subsystem: those it
// was handed (a pipe or a file), else the console it was started from, else
// none. Text goes to a console as characters and elsewhere as UTF-8, so that
// a report written to a file is the same on every system.
enum class Stream { Output, Error };

// Whether the whole text was written.
bool writeText(Stream stream, const Text& text);
bool writeBytes(Stream stream, const std::string& utf8);

} // namespace qni

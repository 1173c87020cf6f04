// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

namespace qni {

// One reading of a command line: the program's name and the rest of the line.
struct CommandLineSplit {
    QByteArray program;
    QByteArray rest;

    bool operator==(const CommandLineSplit&) const = default;
};

// The readings Windows tries, in order, for the program name of a command
// line. A quoted first token is the only reading (up to the closing quote, or
// to the end without one). An unquoted line is read up to its first blank,
// then its second, and so on up to the whole line; the first reading that
// names an existing file wins.
QList<CommandLineSplit> commandLineCandidates(const QByteArray& commandLine);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace qni::cmd {

// The command that "/c" introduces in the interpreter's raw command line,
// with the interpreter's quote rule applied: when it starts with a double
// quote, that quote and the last one are dropped. nullopt without "/c".
std::optional<QByteArray> commandAfterSwitch(const QByteArray& rawLine);

// A command line split into arguments as the Windows C runtime splits it:
// blanks separate, double quotes group, 2n backslashes before a quote give n
// backslashes and a quote that groups, 2n+1 give n and a literal quote.
QList<QByteArray> splitArguments(const QByteArray& line);

// The tools that ship in the "tools" folder beside the interpreter. Neither
// the program nor the interpreter itself is one of them.
inline constexpr const char* kBundledTools[] = {"ipconfig"};

// The bundled tool a program name asks for ("ipconfig", "IPCONFIG.EXE"):
// lower-cased, without ".exe"; empty when it names none of kBundledTools.
QByteArray bundledToolName(const QByteArray& program);

// Whether a command line needs the shell to mean what it says: pipes,
// redirections, command lists, background runs, command substitution.
bool holdsShellOperators(const QByteArray& command);

} // namespace qni::cmd

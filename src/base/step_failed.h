// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <exception>
#include <stdexcept>
#include <string>

namespace qni {

// A statement of the program that cannot complete (a conversion that has no
// result, an overflow, a missing property). Callers in continue-on-error mode
// abandon the statement and go on; see resume.h.
class StepFailed : public std::runtime_error {
public:
    explicit StepFailed(const std::string& what) : std::runtime_error(what) {}
};

// "<what> (<why>)", why made to read as part of that sentence: no closing
// full stop, and a lower-case start unless its first word is a name
// ("HTTP", "CreatePipe").
inline QString because(const QString& what, QString why)
{
    why = why.trimmed();
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    const QString firstWord = why.section(QLatin1Char(' '), 0, 0);
    if (!firstWord.isEmpty() && firstWord.mid(1) == firstWord.mid(1).toLower())
        why[0] = why[0].toLower();
    return why.isEmpty() ? what : what + QStringLiteral(" (") + why + QLatin1Char(')');
}

inline QString because(const QString& what, const std::exception& failure)
{
    return because(what, QString::fromUtf8(failure.what()));
}

} // namespace qni

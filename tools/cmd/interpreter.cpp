// SPDX-License-Identifier: MIT
#include "interpreter.h"

namespace qni::cmd {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

qsizetype skipBlanks(const QByteArray& s, qsizetype i)
{
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

} // namespace

std::optional<QByteArray> commandAfterSwitch(const QByteArray& rawLine)
{
    qsizetype i = skipBlanks(rawLine, 0);
    if (i + 1 >= rawLine.size() || rawLine[i] != '/' || (rawLine[i + 1] != 'c' && rawLine[i + 1] != 'C'))
        return std::nullopt;
    QByteArray command = rawLine.mid(skipBlanks(rawLine, i + 2));
    if (command.startsWith('"')) {
        command.remove(0, 1);
        const qsizetype last = command.lastIndexOf('"');
        if (last >= 0)
            command.remove(last, 1);
    }
    return command;
}

QList<QByteArray> splitArguments(const QByteArray& line)
{
    QList<QByteArray> arguments;
    qsizetype i = skipBlanks(line, 0);
    while (i < line.size()) {
        QByteArray argument;
        bool quoted = false;
        while (i < line.size() && (quoted || !isBlank(line[i]))) {
            if (line[i] == '\\') {
                qsizetype backslashes = 0;
                for (; i < line.size() && line[i] == '\\'; ++i)
                    ++backslashes;
                if (i < line.size() && line[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2) { // an escaped quote
                        argument.append('"');
                        ++i;
                    } // else the quote groups, on the next pass
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') { // "" inside quotes
                    argument.append('"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument.append(line[i++]);
            }
        }
        arguments.append(argument);
        i = skipBlanks(line, i);
    }
    return arguments;
}

QByteArray bundledToolName(const QByteArray& program)
{
    QByteArray name = program.toLower();
    if (name.endsWith(".exe"))
        name.chop(4);
    for (const char* tool : kBundledTools) {
        if (name == tool)
            return name;
    }
    return {};
}

bool holdsShellOperators(const QByteArray& command)
{
    for (char c : {'|', '>', '<', '&', ';', '`'}) {
        if (command.contains(c))
            return true;
    }
    return command.contains("$(");
}

} // namespace qni::cmd

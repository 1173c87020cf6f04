// SPDX-License-Identifier: MIT
// The bundled command interpreter, started as "<path> /c <command>": answers
// a command that the machine QNI_MACHINE describes records with its recorded
// output, runs a bundled tool (from tools/ beside it) by name, and anything
// else through /bin/sh -c with that tools folder first on PATH. Its exit
// status is the command's.
#include "interpreter.h"

#include "described/machine_description.h"
#include "host/qt_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

[[noreturn]] void run(const QByteArray& path, const QList<QByteArray>& arguments)
{
    std::vector<char*> argv;
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    ::execv(path.constData(), argv.data());
    std::fprintf(stderr, "qni-cmd: %s: %s\n", path.constData(), std::strerror(errno));
    std::_Exit(errno == ENOENT ? 127 : 126);
}

// The bundled tools first, so that "ipconfig /all | grep Physical" finds
// ours, while the program and this interpreter stay out of the shell's way.
[[noreturn]] void runThroughShell(const QByteArray& command, const QByteArray& tools)
{
    QByteArray path = qgetenv("PATH");
    if (path.isEmpty()) {
        // Unset, it meant the system's default search path to sh.
        path.resize(qsizetype(::confstr(_CS_PATH, nullptr, 0)));
        ::confstr(_CS_PATH, path.data(), size_t(path.size()));
        path.chop(1);
    }
    qputenv("PATH", tools + ':' + path);
    run("/bin/sh", {"sh", "-c", command});
}

// What the machine that QNI_MACHINE describes records for the command;
// throws DescriptionError when the description cannot be used.
std::optional<QString> describedOutput(const QByteArray& command)
{
    const char* const machine = std::getenv("QNI_MACHINE");
    if (!machine || !*machine)
        return std::nullopt;
    const qni::MachineDescription description = qni::loadMachineDescription(machine);
    if (!description.commands.given())
        return std::nullopt;
    const auto it = description.commands.value.find(qni::fromQt(QString::fromLocal8Bit(command)));
    if (it == description.commands.value.end())
        return std::nullopt;
    return qni::toQt(it->second);
}

} // namespace

int main(int argc, char** argv)
{
    // The runner hands over the raw rest of its command line as one
    // argument; typed by hand, the words arrive one by one.
    QByteArray rawLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            rawLine += ' ';
        rawLine += argv[i];
    }
    const std::optional<QByteArray> command = qni::cmd::commandAfterSwitch(rawLine);
    if (!command) {
        std::fputs("usage: qni-cmd /c <command>\n", stderr);
        return 1;
    }

    // Only so that the bundled tools are found beside this program; the
    // command's words are not Qt's business.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);

    try {
        if (const std::optional<QString> output = describedOutput(*command))
            return writeAll(STDOUT_FILENO, output->toLocal8Bit()) ? 0 : 1;
    } catch (const qni::DescriptionError& e) {
        std::fprintf(stderr, "qni-cmd: %s\n", e.what());
        return 2;
    }

    const QByteArray tools = QFile::encodeName(QCoreApplication::applicationDirPath()) + "/tools";
    if (qni::cmd::holdsShellOperators(*command))
        runThroughShell(*command, tools);

    QList<QByteArray> words = qni::cmd::splitArguments(*command);
    if (!words.isEmpty()) {
        const QByteArray tool = qni::cmd::bundledToolName(words.front());
        if (!tool.isEmpty()) {
            const QFileInfo program(QFile::decodeName(tools + '/' + tool));
            if (program.isFile() && program.isExecutable()) {
                words.front() = QFile::encodeName(program.absoluteFilePath());
                run(words.front(), words);
            }
        }
    }
    runThroughShell(*command, tools);
}

// The bundled command interpreter, started as "<path> /c <command>": runs a
// command that the machine description lists by its recorded output, a
// bundled tool by name, a command line with shell operators through /bin/sh -c
// with the bundled tools first on its PATH, and anything else through
// /bin/sh -c. Its exit status is the command's.
#include "interpreter.h"

#include "platform/described/machine_description.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

// Runs the command through the shell with a folder first on PATH that holds
// links to the bundled tools alone: "ipconfig /all | grep Physical" finds
// ours, while the program and this interpreter stay out of the shell's way.
// The folder lives as long as the command does.
int runThroughShell(const QByteArray& command)
{
    QTemporaryDir tools(QDir::tempPath() + QStringLiteral("/qni-tools-XXXXXX"));
    if (tools.isValid()) {
        for (const char* name : qni::cmd::kBundledTools) {
            const QFileInfo program(qni::bundledProgram(QString::fromLatin1(name)));
            if (program.isFile() && program.isExecutable())
                QFile::link(program.absoluteFilePath(), tools.filePath(QString::fromLatin1(name)));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(tools.path()) + (path.isEmpty() ? QByteArray() : ':' + path));
    }
    char sh[] = "sh";
    char dashC[] = "-c";
    QByteArray line = command;
    char* argv[] = {sh, dashC, line.data(), nullptr};
    pid_t child = 0;
    const int rc = ::posix_spawn(&child, "/bin/sh", nullptr, nullptr, argv, environ);
    if (rc != 0) {
        std::fprintf(stderr, "qni-cmd: /bin/sh: %s\n", std::strerror(rc));
        return rc == ENOENT ? 127 : 126;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

    const QString machine = qEnvironmentVariable("QNI_MACHINE");
    if (!machine.isEmpty()) {
        try {
            const qni::MachineDescription description = qni::loadMachineDescription(machine);
            if (description.commands.given()) {
                const auto it = description.commands.value.constFind(QString::fromLocal8Bit(*command));
                if (it != description.commands.value.constEnd())
                    return writeAll(STDOUT_FILENO, it->toLocal8Bit()) ? 0 : 1;
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 2;
        }
    }

    if (qni::cmd::holdsShellOperators(*command))
        return runThroughShell(*command);

    QList<QByteArray> words = qni::cmd::splitArguments(*command);
    if (!words.isEmpty()) {
        const QByteArray tool = qni::cmd::bundledToolName(words.front());
        if (!tool.isEmpty()) {
            const QFileInfo program(qni::bundledProgram(QString::fromLatin1(tool)));
            if (program.isFile() && program.isExecutable()) {
                const QByteArray path = QFile::encodeName(program.absoluteFilePath());
                words.front() = path;
                run(path, words);
            }
        }
    }
    run("/bin/sh", {"sh", "-c", *command});
}

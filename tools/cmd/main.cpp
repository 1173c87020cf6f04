// SPDX-License-Identifier: MIT
// The bundled command interpreter, started as "<path> /c <command>": answers
// a command that the machine description records with its recorded output,
// runs a bundled tool by name, a command line with shell operators through
// /bin/sh -c with the bundled tools first on its PATH, and anything else
// through /bin/sh -c. Its exit status is the command's.
#include "interpreter.h"

#include "platform/described/command_outputs.h"
#include "platform/host/host_platform.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <sys/stat.h>
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

// A folder that holds links to the bundled tools alone, for the front of a
// shell's PATH: "ipconfig /all | grep Physical" finds ours, while the
// program and this interpreter stay out of the shell's way. One per user and
// per interpreter folder, inside a folder only the user can write to; the
// links are renewed on every use, so a moved build is followed. The shell
// replaces this process, as for any other command, so nothing is left to
// clean up afterwards.
std::optional<QByteArray> bundledToolsFolder()
{
    QByteArray base = qgetenv("XDG_RUNTIME_DIR");
    if (base.isEmpty())
        base = QFile::encodeName(QDir::tempPath());
    const QByteArray own = base + "/qni-" + QByteArray::number(::getuid());
    if (::mkdir(own.constData(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat st {};
    // Anyone else able to write there could put their own "ipconfig" first.
    if (::lstat(own.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return std::nullopt;
    const QByteArray here = QFile::encodeName(QCoreApplication::applicationDirPath());
    const QByteArray folder = own + "/tools-" + QCryptographicHash::hash(here, QCryptographicHash::Sha1).toHex().left(16);
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    for (const char* name : qni::cmd::kBundledTools) {
        const QFileInfo program(qni::bundledProgram(QString::fromLatin1(name)));
        if (!program.isFile() || !program.isExecutable())
            continue;
        // Made aside and renamed over the old one: a shell started meanwhile
        // finds either link, never none.
        const QByteArray link = folder + '/' + name;
        const QByteArray fresh = link + '.' + QByteArray::number(::getpid());
        ::unlink(fresh.constData());
        if (::symlink(QFile::encodeName(program.absoluteFilePath()).constData(), fresh.constData()) != 0 ||
            ::rename(fresh.constData(), link.constData()) != 0) {
            ::unlink(fresh.constData());
            return std::nullopt;
        }
    }
    return folder;
}

[[noreturn]] void runThroughShell(const QByteArray& command)
{
    if (const std::optional<QByteArray> tools = bundledToolsFolder()) {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", *tools + (path.isEmpty() ? QByteArray() : ':' + path));
    }
    run("/bin/sh", {"sh", "-c", command});
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

    const QByteArray outputsFile = qgetenv(qni::kCommandOutputsVariable.toLatin1());
    if (!outputsFile.isEmpty()) {
        QFile file(QFile::decodeName(outputsFile));
        const std::optional<qni::CommandOutputs> outputs =
            file.open(QIODevice::ReadOnly) ? qni::decodeCommandOutputs(file.readAll()) : std::nullopt;
        if (!outputs) {
            std::fprintf(stderr, "qni-cmd: %s: no recorded command outputs\n", outputsFile.constData());
            return 2;
        }
        const auto it = outputs->constFind(QString::fromLocal8Bit(*command));
        if (it != outputs->constEnd())
            return writeAll(STDOUT_FILENO, it->toLocal8Bit()) ? 0 : 1;
    }

    if (qni::cmd::holdsShellOperators(*command))
        runThroughShell(*command);

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

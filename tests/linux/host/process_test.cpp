// SPDX-License-Identifier: MIT
#include "host/command_line_split.h"
#include "host/host_platform.h"
#include "host/qt_text.h"
#include "platform/platform.h"
#include "platform/process_service.h"

#include "host_samples.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

using namespace qni;

namespace {

TEST(CommandLine, ProgramReadingsAsWindowsTriesThem)
{
    const std::pair<QByteArray, QList<CommandLineSplit>> cases[] = {
        {R"(/bin/cmd /c "dir")", {{"/bin/cmd", R"( /c "dir")"}, {"/bin/cmd /c", R"( "dir")"}, {R"(/bin/cmd /c "dir")", ""}}},
        {R"("/a b/cmd" /c x)", {{"/a b/cmd", " /c x"}}},
        {R"("/a b/cmd)", {{"/a b/cmd", ""}}},
        {"/a b  c ", {{"/a", " b  c "}, {"/a b", "  c "}, {"/a b  c", " "}}},
        {" /c x", {{"", " /c x"}}}, // no ComSpec: no program
    };
    for (const auto& [line, readings] : cases)
        EXPECT_EQ(commandLineCandidates(line), readings) << line.constData();
}

// Starts a command line on the host's service: its output and the reason
// it could not start.
std::pair<QByteArray, int> start(const QByteArray& line)
{
    const auto service = makeHostProcessService();
    PipeHandle r, w;
    int pid = 0, n = 0;
    EXPECT_TRUE(service->createPipe(r, w));
    const bool started = service->createProcess(fromQt(QString::fromLocal8Bit(line)), w, pid);
    service->closeHandle(w);
    QByteArray output;
    for (char buffer[256]; started && service->readFile(r, buffer, sizeof buffer, n);)
        output.append(buffer, n);
    service->closeHandle(r);
    service->closeProcess(pid);
    return {output, started ? 0 : service->lastError()};
}

TEST(ProcessService, TheProgramGetsTheRestOfTheLineUnchangedAsItsOneArgument)
{
    QTemporaryDir dir;
    const QString spaced = dir.filePath(QStringLiteral("a dir/echo"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("a dir"))) && QFile::copy(QStringLiteral("/bin/echo"), spaced));
    using Result = std::pair<QByteArray, int>;
    EXPECT_EQ(start(R"(/bin/echo /c  "x  \"y" )"), Result(R"( /c  "x  \"y" )" "\n", 0));
    EXPECT_EQ(start(QFile::encodeName(spaced) + " rest"), Result(" rest\n", 0));
    EXPECT_EQ(start("qni-no-such-program x"), Result("", ENOENT));
}

TEST(ProcessService, TheCommandGetsItsOutputAndAnEmptyInputOnly)
{
    // This process's own input holds data, and it has a descriptor open
    // that is not closed on exec.
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    ASSERT_EQ(::write(input[1], "the parent's input\n", 19), 19);
    const int ownInput = ::dup(STDIN_FILENO);
    ::dup2(input[0], STDIN_FILENO);
    ::close(input[0]), ::close(input[1]);
    const int leaked = ::open("/dev/null", O_RDONLY);
    const QByteArray output = start(QNI_BIN_DIR "/qni-cmd /c \"cat; readlink /proc/self/fd/0; ls /proc/self/fd\"").first;
    ::close(leaked);
    ::dup2(ownInput, STDIN_FILENO);
    ::close(ownInput);
    EXPECT_EQ(output, "/dev/null\n0\n1\n2\n3\n"); // 3: the folder that ls reads
}

} // namespace

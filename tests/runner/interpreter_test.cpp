#include "runner_support.h"

#include "interpreter.h"
#include "platform/described/command_outputs.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qni::test {
namespace {

TEST(CommandLine, ProgramReadingsAsWindowsTriesThem)
{
    const struct {
        QByteArray line;
        QList<CommandLineSplit> readings;
    } table[] = {
        {R"(/bin/qni-cmd /c "dir")", {{"/bin/qni-cmd", R"( /c "dir")"}, {"/bin/qni-cmd /c", R"( "dir")"}, {R"(/bin/qni-cmd /c "dir")", ""}}},
        {R"("/a b/cmd" /c x)", {{"/a b/cmd", " /c x"}}},
        {R"("/a b/cmd)", {{"/a b/cmd", ""}}},
        {"/a b  c ", {{"/a", " b  c "}, {"/a b", "  c "}, {"/a b  c", " "}}},
        {" /c x", {{"", " /c x"}}}, // no ComSpec: no program
        {"", {{"", ""}}},
    };
    for (const auto& row : table)
        EXPECT_EQ(commandLineCandidates(row.line), row.readings) << row.line.constData();
}

// Starts a command line on the host service and collects its output.
QByteArray start(const QByteArray& line, int& error)
{
    auto service = makeHostProcessService();
    int r = -1, w = -1, pid = 0;
    EXPECT_TRUE(service->createPipe(r, w));
    const bool started = service->createProcess(line, w, pid);
    error = started ? 0 : service->lastError();
    service->closeHandle(w);
    QByteArray output;
    char buffer[256];
    for (int n = 0; started && service->readFile(r, buffer, sizeof buffer, n);)
        output.append(buffer, n);
    service->closeHandle(r);
    service->closeProcess(pid);
    return output;
}

TEST(CommandLine, TheProgramGetsTheRestUnchangedAsItsOneArgument)
{
    QTemporaryDir dir;
    const QString spaced = dir.filePath("a dir/echo");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("a dir")) && QFile::copy("/bin/echo", spaced));
    int error = 0;
    EXPECT_EQ(start(R"(/bin/echo /c  "x  \"y" )", error), R"( /c  "x  \"y" )" "\n");
    // Unquoted, a program path with blanks is found by trying each reading.
    EXPECT_EQ(start(spaced.toLocal8Bit() + " rest", error), " rest\n");
    EXPECT_EQ(start("qni-no-such-program x", error), "");
    EXPECT_EQ(error, ENOENT);
}

TEST(Interpreter, CommandAfterTheSwitch)
{
    const struct {
        QByteArray raw;
        std::optional<QByteArray> command;
    } table[] = {
        {R"( /c "ipconfig /all")", "ipconfig /all"},
        {R"( /C "echo "a b"")", R"(echo "a b")"},
        {R"(/c  "x" y "z)", R"(x" y z)"}, // the first quote and the last one go
        {"/c echo x", "echo x"},
        {"/c", ""},
        {"/k echo", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : table)
        EXPECT_EQ(cmd::commandAfterSwitch(row.raw), row.command) << row.raw.constData();
}

TEST(Interpreter, ArgumentsSplitAsTheWindowsRuntimeSplitsThem)
{
    const struct {
        QByteArray line;
        QList<QByteArray> arguments;
    } table[] = {
        {"ipconfig  /all", {"ipconfig", "/all"}},
        {R"(a "b c" d)", {"a", "b c", "d"}},
        {R"("" x)", {"", "x"}},
        {R"(a\\"b c" d)", {R"(a\b c)", "d"}},
        {R"(a\"b c)", {R"(a"b)", "c"}},
        {R"(a\\b)", {R"(a\\b)"}},
        {R"("a""b")", {R"(a"b)"}},
        {"\t ", {}},
    };
    for (const auto& row : table)
        EXPECT_EQ(cmd::splitArguments(row.line), row.arguments) << row.line.constData();
}

TEST(Interpreter, RunsToolsByNameDescribedCommandsAndEverythingElseThroughTheShell)
{
    // A copy of the interpreter with a bundled tool beside it.
    QTemporaryDir dir;
    const QString cmd = dir.filePath("qni-cmd");
    ASSERT_TRUE(QFile::copy(QNI_BIN_DIR "/qni-cmd", cmd));
    const auto write = [&](const char* name, const QByteArray& text) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    };
    write("ipconfig", "#!/bin/sh\necho \"ipconfig:$#:$1:$2\"\n");
    // Beside the interpreter too, but not a bundled tool.
    write("quarn-network-information", "#!/bin/sh\necho program\n");
    write("good.outputs", encodeCommandOutputs({{"ipconfig /all", "\r\nWindows IP Configuration\r\n"}}));
    write("bad.outputs", R"({"commands": )");

    const struct {
        const char* raw;
        const char* outputs;
        QByteArray out;
        int status;
        qsizetype errorLines;
    } table[] = {
        {R"( /c "ipconfig /all")", "good.outputs", "\r\nWindows IP Configuration\r\n", 0, 0},
        {R"( /c "echo real; exit 7")", "good.outputs", "real\n", 7, 0},
        {R"( /c "echo x")", "bad.outputs", "", 2, 1},
        {R"( /c "IPCONFIG.exe "a b" c")", "", "ipconfig:2:a b:c\n", 0, 0},
        // Shell operators: through the shell, with the bundled tools first on
        // its PATH and nothing else of ours on it.
        {R"( /c "ipconfig /all | tr a-z A-Z")", "", "IPCONFIG:1:/ALL:\n", 0, 0},
        {R"( /c "ipconfig x > out.txt && cat out.txt; exit 5")", "", "ipconfig:1:x:\n", 5, 0},
        {R"x( /c "echo $(ipconfig y)")x", "", "ipconfig:1:y:\n", 0, 0},
        {R"( /c "quarn-network-information")", "", "", 127, 1},
        {R"( /c "quarn-network-information | qni-cmd /c echo x")", "", "", 127, 2},
        {"echo x", "", "", 1, 1}, // no /c
    };
    for (const auto& row : table) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (*row.outputs)
            env.insert(kCommandOutputsVariable, dir.filePath(row.outputs));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(cmd, {row.raw});
        ASSERT_TRUE(p.waitForFinished(20000));
        const QByteArray errors = p.readAllStandardError();
        EXPECT_EQ(p.readAllStandardOutput(), row.out) << row.raw;
        EXPECT_EQ(p.exitCode(), row.status) << row.raw;
        EXPECT_EQ(errors.count('\n'), row.errorLines) << errors.constData();
        EXPECT_TRUE(!*row.outputs || !row.errorLines || errors.contains(row.outputs)) << errors.constData();
    }
}

} // namespace
} // namespace qni::test

// SPDX-License-Identifier: MIT
#include "interpreter.h"

#include "platform/described/command_outputs.h"
#include "support/qt_printers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qni::cmd;

TEST(Interpreter, TheCommandAfterTheSwitch)
{
    const std::pair<QByteArray, std::optional<QByteArray>> cases[] = {
        {R"( /c "ipconfig /all")", "ipconfig /all"}, {"/c echo x", "echo x"}, {"/k echo", std::nullopt},
        {R"( /C "echo "a b"")", R"(echo "a b")"}, {R"(/c  "x" y "z)", R"(x" y z)"}, // the first quote and the last go
    };
    for (const auto& [raw, command] : cases)
        EXPECT_EQ(commandAfterSwitch(raw), command) << raw.constData();
}

TEST(Interpreter, ArgumentsSplitAsTheWindowsRuntimeSplitsThem)
{
    const std::pair<QByteArray, QList<QByteArray>> cases[] = {
        {"ipconfig  /all", {"ipconfig", "/all"}}, {R"(a "b c" d)", {"a", "b c", "d"}}, {R"("" x)", {"", "x"}},
        {R"(a\\"b c" d)", {R"(a\b c)", "d"}}, {R"(a\"b c)", {R"(a"b)", "c"}}, {R"(a\\b)", {R"(a\\b)"}},
        {R"("a""b")", {R"(a"b)"}},
    };
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(splitArguments(line), arguments) << line.constData();
}

TEST(Interpreter, RunsToolsByNameDescribedCommandsAndTheRestThroughTheShell)
{
    // A copy of the interpreter with a bundled tool beside it.
    QTemporaryDir dir;
    const QString cmd = dir.filePath(QStringLiteral("qni-cmd"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QNI_BIN_DIR "/qni-cmd"), cmd));
    const auto write = [&](const char* name, const QByteArray& text) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    };
    write("ipconfig", "#!/bin/sh\necho \"ipconfig:$#:$1:$2\"\n");
    // Beside the interpreter too, but not a bundled tool.
    write("quarn-network-information", "#!/bin/sh\necho program\n");
    write("good.outputs", qni::encodeCommandOutputs({{"ipconfig /all", "\r\nWindows IP Configuration\r\n"}}));
    write("bad.outputs", R"({"commands": )");
    const struct {
        const char* raw;
        const char* machine;
        QByteArray out;
        int status;
    } cases[] = {
        {R"( /c "ipconfig /all")", "good.outputs", "\r\nWindows IP Configuration\r\n", 0},
        {R"( /c "echo real; exit 7")", "good.outputs", "real\n", 7},
        {R"( /c "echo x")", "bad.outputs", "", 2},
        {R"( /c "IPCONFIG.exe "a b" c")", "", "ipconfig:2:a b:c\n", 0},
        // Shell operators: through the shell, the bundled tools first on its
        // PATH and nothing else of ours on it.
        {R"( /c "ipconfig /all | tr a-z A-Z")", "", "IPCONFIG:1:/ALL:\n", 0},
        {R"( /c "ipconfig x > out.txt && cat out.txt; exit 5")", "", "ipconfig:1:x:\n", 5},
        {R"( /c "quarn-network-information")", "", "", 127},
        {"echo x", "", "", 1}, // no /c
    };
    for (const auto& c : cases) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(qni::kCommandOutputsVariable, *c.machine ? dir.filePath(QString::fromLatin1(c.machine)) : QString());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(cmd, {QString::fromLatin1(c.raw)});
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.readAllStandardOutput(), c.out) << c.raw;
        EXPECT_EQ(p.exitCode(), c.status) << c.raw;
        // A failure says why, on one line, naming the description.
        const QByteArray errors = p.readAllStandardError();
        EXPECT_EQ(errors.count('\n'), c.status == 1 || c.status == 2 || c.status == 127 ? 1 : 0) << errors.constData();
        EXPECT_TRUE(c.status != 2 || errors.contains(c.machine)) << errors.constData();
    }
}

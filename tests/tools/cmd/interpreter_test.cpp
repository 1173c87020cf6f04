// SPDX-License-Identifier: MIT
#include "interpreter.h"

#include "support/files.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qni::cmd;
using qni::test::writeFile;

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
    // A copy of the interpreter with a bundled tool in its tools folder.
    QTemporaryDir dir;
    const QString cmd = dir.filePath(QStringLiteral("qni-cmd"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QNI_BIN_DIR "/qni-cmd"), cmd));
    const auto write = [&](const char* name, const QByteArray& text) { writeFile(dir.filePath(QLatin1String(name)), text, true); };
    write("tools/ipconfig", "#!/bin/sh\necho \"ipconfig:$#:$1:$2\"\n");
    // On PATH already, and beside the interpreter: neither is a bundled tool.
    write("decoy/ipconfig", "#!/bin/sh\necho decoy\n");
    write("quarn-network-information", "#!/bin/sh\necho program\n");
    write("machine.json", R"({"commands": {"ipconfig /all": "\r\nWindows IP Configuration\r\n"}})");
    write("bad.json", R"({"commands": )");
    // The interpreter's command line and machine description; its output and status.
    const std::tuple<const char*, const char*, QByteArray, int> cases[] = {
        {R"( /c "ipconfig /all")", "machine.json", "\r\nWindows IP Configuration\r\n", 0},
        {R"( /c "echo real; exit 7")", "machine.json", "real\n", 7},
        {R"( /c "echo x")", "bad.json", "", 2},
        {R"( /c "IPCONFIG.exe "a b" c")", "", "ipconfig:2:a b:c\n", 0},
        // Through the shell, the bundled tools first on its PATH and nothing
        // else of ours on it.
        {R"( /c "ipconfig /all | grep /all")", "", "ipconfig:1:/all:\n", 0},
        {R"( /c "ipconfig x > out.txt && cat out.txt; exit 5")", "", "ipconfig:1:x:\n", 5},
        {R"( /c "quarn-network-information")", "", "", 127},
        {"echo x", "", "", 1}, // no /c
    };
    for (const auto& [raw, machine, out, status] : cases) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QNI_MACHINE"), QString::fromLatin1(machine));
        env.insert(QStringLiteral("PATH"), dir.filePath(QStringLiteral("decoy")) + ":/usr/bin:/bin");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(cmd, {QString::fromLatin1(raw)});
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.readAllStandardOutput(), out) << raw;
        EXPECT_EQ(p.exitCode(), status) << raw;
        // A failure says why, on one line, naming the description.
        const QByteArray errors = p.readAllStandardError();
        EXPECT_EQ(errors.count('\n'), status == 1 || status == 2 || status == 127 ? 1 : 0) << errors.constData();
        EXPECT_TRUE(status != 2 || errors.contains(machine)) << errors.constData();
    }
}

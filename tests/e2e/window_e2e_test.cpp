// SPDX-License-Identifier: MIT
// The real window, driven by clicks, on described machines and on this host
// as the program runs here, and the program itself as a user starts it. The
// test lives beside the program, so with ComSpec unset the bundled
// interpreter beside it and its ipconfig do the work.
#include "app/gather.h"
#include "app/report.h"
#include "described/described_services.h"
#include "described/machine_description.h"
#include "host/qt_text.h"
#include "host/platform_from_environment.h"
#include "support/files.h"
#include "support/process_probe.h"
#include "support/qt_printers.h"
#include "ui/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

#include <unistd.h>

using namespace qni;
using namespace qni::test;

namespace {

const QString kProgram = QStringLiteral(QNI_BIN_DIR "/quarn-network-information");
const QString kXp = QStringLiteral(QNI_TEST_DATA "/machines/xp-sp3.json");

// Starts the program as a user does, without a display, with QNI_MACHINE and
// `variables` set; without ComSpec the bundled interpreter does the work.
void start(QProcess& p, const QStringList& arguments, const QString& machine, const QStringList& variables = {},
           const QString& program = kProgram)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "ComSpec"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QNI_MACHINE"), machine);
    for (const QString& variable : variables)
        env.insert(variable.section('=', 0, 0), variable.section('=', 1));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
}

// The program run to its end; standard output to `stdoutFile`, or closed for "&-".
struct ProgramRun {
    int code = -1;
    QByteArray out, err;
};
ProgramRun runProgram(const QStringList& arguments, const QString& machine, const QString& stdoutFile = {},
                      const QStringList& variables = {})
{
    QProcess p;
    if (stdoutFile == QLatin1String("&-"))
        p.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    else if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    start(p, arguments, machine, variables);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// Clicks "Gather Info" in the window on `platform` (by default the one
// QNI_MACHINE names), answering each message box with OK; the boxes'
// texts after the run, and what each message said.
QHash<QString, QString> gather(const char* machine, std::optional<Platform> platform = {})
{
    qunsetenv("ComSpec");
    qputenv("QNI_MACHINE", machine ? QByteArray(QNI_TEST_DATA "/machines/") + machine : QByteArray());
    FrmMain w(platform ? *platform : platformFromEnvironment());
    w.setEndProgram([] {});
    w.show();
    QHash<QString, QString> seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen["message"] += QStringLiteral("%1|%2|%3 button(s)|icon %4").arg(box->windowTitle(), box->text())
                                   .arg(box->buttons().size()).arg(box->icon());
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer.start(20);
    QTest::mouseClick(w.findChild<QWidget*>(QStringLiteral("cmdGet")), Qt::LeftButton);
    for (const FactInfo& fact : kFacts)
        seen[fact.jsonName] = toQt(fact.box(w.boxes()).get());
    seen["status"] = toQt(w.boxes().lblStatus.get());
    seen["memory view"] = w.findChild<QPlainTextEdit*>(QStringLiteral("txtMemory"))->toPlainText();
    if (!machine)
        return seen;

    // --json and --report on the same machine print what the window shows.
    const QString path = QString::fromLocal8Bit(qgetenv("QNI_MACHINE"));
    const ReportFacts facts = reportFacts(w.boxes(), w.lastOutcome());
    const int code = w.lastOutcome().notXp ? 3 : 0;
    const ProgramRun json = runProgram({QStringLiteral("--json")}, path);
    EXPECT_EQ(json.code, code) << machine;
    EXPECT_EQ(QJsonDocument::fromJson(json.out), QJsonDocument::fromJson(QByteArray::fromStdString(jsonReport(facts)))) << machine;
    EXPECT_EQ(json.err.contains("This is not a version of Windows XP!"), code == 3) << machine;
    const ProgramRun text = runProgram({QStringLiteral("--report")}, path);
    EXPECT_EQ(text.code, code);
    EXPECT_EQ(text.out, QByteArray::fromStdString(textReport(facts))) << machine;
    return seen;
}

TEST(WindowE2E, EachDescribedMachineFillsTheFramesOrSaysWhyNot)
{
    // What the XP machines show, their reports print too: accessibility_e2e.py
    // reads it box by box. Another Windows version gets one message and
    // nothing else.
    EXPECT_EQ(gather("xp-sp3.json")["status"], toQt(kGathered));
    EXPECT_EQ(gather("nothing-works.json")["status"], toQt(kGatheredWithErrors));
    QHash<QString, QString> shown = {{"memory view", ""}};
    for (const FactInfo& fact : kFacts)
        shown[fact.jsonName] = "";
    shown.insert({{"message", "Quarn Network Information|" + toQt(kNotXpMessage) + "|1 button(s)|icon 0"},
                  {"operating_system", "Not XP!"}, {"status", toQt(kNotXpMessage)}});
    EXPECT_EQ(gather("vista.json"), shown);
}

QString ip(const QStringList& arguments, const QString& after, QChar end)
{
    QProcess p;
    p.start(QStringLiteral("ip"), QStringList{"-o"} + arguments);
    EXPECT_TRUE(p.waitForFinished(10000)) << p.errorString().toStdString();
    return QString::fromLocal8Bit(p.readAllStandardOutput()).section(after, 1).section(end, 0, 0);
}

TEST(WindowE2E, ThisHostAsTheProgramSeesIt)
{
    // The wired adapter that carries the default route, as `ip` shows it.
    const QString device = ip({"route", "show", "default"}, " dev ", ' ');
    const QString mac = ip({"link", "show", "dev", device}, "link/ether ", ' ').toUpper().replace(':', '-');
    if (device.isEmpty() || mac.isEmpty() || QFileInfo::exists("/sys/class/net/" + device + "/wireless"))
        GTEST_SKIP() << "no wired Ethernet adapter carries this host's default route";
    // The public page is the one fact from beyond this machine: it is described.
    qunsetenv("QNI_MACHINE");
    const QHash<QString, QString> seen = gather(nullptr, applyDescription(
        parseMachineDescription(R"({"publicPage": "81.2.3.4"})", u"page.json"), platformFromEnvironment()));
    EXPECT_EQ(seen["mac_address"], mac);
    EXPECT_EQ(seen["network_address"], ip({"-4", "addr", "show", "dev", device}, " inet ", '/'));
    // The host's own system: never refused, and no Windows.
    EXPECT_EQ(seen["message"], QString());
    EXPECT_FALSE(seen["operating_system"].isEmpty() || seen["operating_system"].contains("Windows"));
    EXPECT_EQ(seen["os_version"], QSysInfo::kernelVersion());
    QFile id(QStringLiteral("/etc/machine-id"));
    const QString machineId = id.open(QIODevice::ReadOnly) ? QString::fromLatin1(id.readAll().trimmed()) : QString();
    EXPECT_EQ(seen["serial_number"], QRegularExpression("^[0-9a-fA-F]{32}$").match(machineId).hasMatch() ? machineId : QString());
    EXPECT_TRUE(seen["memory_chips"].endsWith(" MB Chip\r\n") && seen["clocked_speed"].endsWith(" Mhz"));
}

// A shell script of the test's own; its path.
QString script(const QTemporaryDir& dir, const char* name, const QByteArray& body)
{
    return writeFile(dir.filePath(QLatin1String(name)), "#!/bin/sh\n" + body, true);
}

// Without a display the window mode can only refuse, after a bad machine
// description or option; a report needs none. Each refusal is one line on
// standard error.
TEST(Program, ExitStatusesAndTheOneLineThatSaysWhy)
{
    QTemporaryDir dir;
    const QString bad = writeFile(dir.filePath(QStringLiteral("bad\nname.json")), "{\n  \"registry\": {,}\n}");
    const struct {
        QStringList arguments;
        QString machine, stdoutFile;
        QStringList variables;
        int code;
        QByteArray said;
    } cases[] = {
        {{}, bad, {}, {}, 2, QFile::encodeName(dir.path()) + "/bad?name.json: line 2, column"},
        {{}, kXp, {}, {}, 1, "no display found; run it under Xvfb with: xvfb-run"},
        {{"--bogus"}, kXp, {}, {}, 2, "bogus"},
        {{"--report"}, kXp, "/dev/full", {}, 1, "could not be written"},
        // Closed, on a described machine and on the host: nothing the program
        // opens may take its place.
        {{"--json"}, kXp, "&-", {}, 1, "the report could not be written to standard output"},
        {{"--json", "--public-page", ""}, {}, "&-", {}, 1, "the report could not be written to standard output"},
        {{"--json"}, kXp, {}, {"DISPLAY=:97"}, 0, {}}, // a display that is not there is not wanted
    };
    for (const auto& c : cases) {
        const ProgramRun r = runProgram(c.arguments, c.machine, c.stdoutFile, c.variables);
        EXPECT_EQ(r.code, c.code) << c.said.constData();
        EXPECT_TRUE(r.err.count('\n') == (c.said.isEmpty() ? 0 : 1) && r.err.contains(c.said)) << r.err.constData();
        EXPECT_TRUE(c.code != 2 || r.out.isEmpty()) << r.out.constData();
    }
}

// Started with its standard descriptors closed, the program holds each
// number itself, so nothing it opens later can take one: what its command
// sees there is /dev/null.
TEST(Program, ClosedStandardDescriptorsStayClosedToOutput)
{
    QTemporaryDir dir;
    const QString seen = dir.filePath(QStringLiteral("seen"));
    QProcess p;
    p.setChildProcessModifier([] { ::close(STDIN_FILENO), ::close(STDOUT_FILENO), ::close(STDERR_FILENO); });
    start(p, {QStringLiteral("--json")}, kXp,
          {"ComSpec=" + script(dir, "cmd", "cd /proc/$PPID/fd && readlink 0 1 2 >'" + seen.toUtf8() + "'\n")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    QFile f(seen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "/dev/null\n/dev/null\n/dev/null\n");
}

// The program and its tools under a path with a blank, and a file that
// another user could have put at the path's first part: it never runs.
TEST(Program, APathWithABlankRunsNoOtherProgram)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("USB DISK"));
    ASSERT_TRUE(QDir().mkpath(folder + "/tools"));
    for (const char* file : {"quarn-network-information", "qni-cmd", "tools/ipconfig"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(QNI_BIN_DIR "/") + file, folder + '/' + file)) << file;
    const QString trapped = dir.filePath(QStringLiteral("trapped"));
    script(dir, "USB", "touch '" + trapped.toUtf8() + "'\n");
    QProcess p;
    start(p, {QStringLiteral("--json")}, kXp, {}, folder + "/quarn-network-information");
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_FALSE(QFile::exists(trapped));
    EXPECT_EQ(QJsonDocument::fromJson(p.readAllStandardOutput())["mac_address"].toString(), "00-0C-29-4F-1A-2B");
}

// A program ended by a signal takes its command's processes with it, the
// command's own children included.
TEST(Program, ItsCommandsEndWithItWhenASignalEndsIt)
{
    QTemporaryDir dir;
    const QByteArray pids = QFile::encodeName(dir.filePath(QStringLiteral("pids")));
    const QString interpreter = script(dir, "cmd", "sleep 300 &\necho $! $$ >'" + pids + ".new'\nmv '" + pids + ".new' '" +
                                                       pids + "'\nwait\n");
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        QFile::remove(pids);
        QProcess p;
        start(p, {QStringLiteral("--json")}, QStringLiteral(QNI_TEST_DATA "/machines/nothing-works.json"), {"ComSpec=" + interpreter});
        ASSERT_TRUE(eventually([&] { return QFile::exists(pids); })) << signal;
        QFile f(pids);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> started = f.readAll().trimmed().split(' ');
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(5000)) << signal;
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << signal;
        for (const QByteArray& pid : started)
            EXPECT_TRUE(eventually([&] { return reaped(pid.toInt()); })) << signal << ' ' << pid.constData();
    }
}

} // namespace

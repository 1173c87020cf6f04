// The real window, driven by clicks, on described machines and on this host
// as the program runs here, and the program itself as a user starts it. The
// test lives beside the program, so with ComSpec unset the bundled
// interpreter and ipconfig beside it do the work.
#include "platform/described/platform_from_environment.h"
#include "platform/described/described_services.h"
#include "platform/host/host_platform.h"
#include "app/facts.h"
#include "platform/described/machine_description.h"
#include "platform/window_service.h"
#include "support/qt_printers.h"
#include "ui/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qni;

namespace {

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
        seen[fact.jsonName] = fact.box(w.boxes()).get();
    seen["status"] = w.boxes().lblStatus.get();
    seen["memory view"] = w.findChild<QPlainTextEdit*>(QStringLiteral("txtMemory"))->toPlainText();
    return seen;
}

TEST(WindowE2E, AnXpMachineFillsEveryFrame)
{
    EXPECT_EQ(gather("xp-sp3.json"), (QHash<QString, QString>{
        {"operating_system", "Windows Xp Service Pack 3 Build 2600"}, {"serial_number", "76487-OEM-0011903-00102"},
        {"os_version", "5.1.2600"}, {"memory_chips", "512 MB Chip\r\n512 MB Chip\r\n"},
        {"memory view", "512 MB Chip\n512 MB Chip\n"}, // one line per module
        {"cpu", "               Intel(R) Pentium(R) 4 CPU 3.00GHz"}, {"clocked_speed", "2992 Mhz"},
        {"network_address", "192.168.1.10"}, {"internet_address", "81.2.3.4"}, {"subnet_mask", "255.255.255.0"},
        {"mac_address", "00-0C-29-4F-1A-2B"}, {"status", "Information Gathered Successfully!"}}));
}

TEST(WindowE2E, AnotherWindowsVersionGetsOneMessageAndNothingElse)
{
    EXPECT_EQ(gather("vista.json"), (QHash<QString, QString>{
        {"message", "Quarn Network Information|This is not a version of Windows XP!|1 button(s)|icon 0"},
        {"operating_system", "Not XP!"}, {"serial_number", ""}, {"os_version", ""}, {"memory_chips", ""}, {"memory view", ""},
        {"cpu", ""}, {"clocked_speed", ""}, {"network_address", ""}, {"internet_address", ""}, {"subnet_mask", ""},
        {"mac_address", ""}, {"status", "This is not a version of Windows XP!"}}));
}

TEST(WindowE2E, FailingServicesEndWithErrors)
{
    QHash<QString, QString> seen = gather("nothing-works.json");
    seen.remove("mac_address"); // this host's own ipconfig answers
    EXPECT_EQ(seen, (QHash<QString, QString>{
        {"operating_system", "Windows Xp Build "}, {"serial_number", ""}, {"os_version", ""}, {"memory_chips", ""},
        {"memory view", ""}, {"cpu", ""}, {"clocked_speed", ""}, {"network_address", ""}, {"internet_address", ""},
        {"subnet_mask", ""}, {"status", "Information Gathered With Errors!"}}));
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
        parseMachineDescription(R"({"publicPage": "81.2.3.4"})", QStringLiteral("page.json")), platformFromEnvironment()));
    EXPECT_EQ(seen["mac_address"], mac);
    EXPECT_EQ(seen["network_address"], ip({"-4", "addr", "show", "dev", device}, " inet ", '/'));
    EXPECT_EQ(seen["operating_system"] + seen["message"], "Windows Xp Service Pack 3 Build 2600");
    EXPECT_TRUE(QRegularExpression("^76487-OEM-\\d{7}-\\d{5}$").match(seen["serial_number"]).hasMatch());
    EXPECT_TRUE(seen["memory_chips"].endsWith(" MB Chip\r\n") && seen["clocked_speed"].endsWith(" Mhz"));
}

const QString kProgram = QStringLiteral(QNI_BIN_DIR "/quarn-network-information");

// Without a display the program can only refuse: a bad machine description
// is found before a display is wanted, then the missing display. Each is one
// line on standard error.
TEST(Program, WithoutADisplayABadDescriptionAndThenTheDisplayAreNamed)
{
    QTemporaryDir dir;
    QFile bad(dir.filePath(QStringLiteral("bad\nname.json")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("{\n  \"registry\": {,}\n}") > 0);
    bad.close();
    for (const auto& [machine, status, says] :
         {std::tuple{bad.fileName(), 2, QFile::encodeName(dir.path()) + "/bad?name.json: line 2, column"},
          {QStringLiteral(QNI_TEST_DATA "/machines/xp-sp3.json"), 1, QByteArray("no display found; run it under Xvfb with: xvfb-run")}}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("QNI_MACHINE"), machine);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kProgram, {});
        ASSERT_TRUE(p.waitForFinished(20000));
        const QByteArray errors = p.readAllStandardError();
        EXPECT_EQ(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, status);
        EXPECT_TRUE(errors.count('\n') == 1 && errors.contains(says)) << errors.constData();
    }
}

// Under an X server: closing the window while a gather waits in its pause
// ends the program at once, with status 0.
TEST(Program, ClosingTheWindowDuringAGatherEndsItAtOnce)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the tests run under xvfb-run)";
    const auto windows = makeHostWindowService();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QNI_MACHINE"), QStringLiteral(QNI_TEST_DATA "/machines/xp-sp3.json"));
    program.setProcessEnvironment(env);
    program.start(kProgram, {});
    ASSERT_TRUE(program.waitForStarted());
    // Its windows, found by the owner's process id.
    const auto mainWindows = [&] {
        QList<WindowService::WindowId> found;
        for (const auto& w : windows->topLevelWindows())
            if (w.processId == program.processId() && w.parent == 0)
                found << w.window;
        return found;
    };
    QElapsedTimer waited;
    for (waited.start(); mainWindows().isEmpty() && waited.elapsed() < 10000;)
        QThread::msleep(50);
    // "Gather Info" sits at 376,16 of the client area, below the menu bar.
    QProcess::execute(QStringLiteral("xdotool"), {"search", "--pid", QString::number(program.processId()), "--name",
                                                   "Quarn Network Information", "mousemove", "--window", "%1", "420", "40",
                                                   "click", "1"});
    QThread::msleep(400);
    QElapsedTimer sinceClose;
    sinceClose.start();
    int asked = 0;
    for (const WindowService::WindowId w : mainWindows())
        asked += windows->postMessage(w, kWmClose, 0, 0);
    EXPECT_GT(asked, 0);
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_LT(sinceClose.elapsed(), 900);
}

} // namespace

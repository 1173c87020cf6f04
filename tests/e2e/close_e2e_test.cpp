// Closing the real program's window under an X server: the program ends at
// once with status 0, even while a gather waits inside its pause.
#include "platform/host/host_platform.h"
#include "platform/window_service.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>

using namespace qni;

class CloseE2E : public QObject {
    Q_OBJECT

    static bool hasWindow(WindowService& windows, qint64 pid)
    {
        for (const auto& w : windows.topLevelWindows())
            if (w.processId == pid)
                return true;
        return false;
    }
    static int closeWindows(WindowService& windows, qint64 pid)
    {
        int posted = 0;
        for (const auto& w : windows.topLevelWindows())
            if (w.processId == pid && w.parent == 0 && windows.postMessage(w.window, kWmClose, 0, 0))
                ++posted;
        return posted;
    }

private slots:
    void closingDuringTheGatherEndsTheProgramWithStatusZero()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server (the tests run under xvfb-run)");
        auto windows = makeHostWindowService();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QNI_MACHINE"), QStringLiteral(QNI_TEST_DATA "/machines/xp-sp3.json"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QNI_BIN_DIR "/quarn-network-information"), {});
        QVERIFY(program.waitForStarted());
        const qint64 pid = program.processId();
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(*windows, pid), 10000);

        // Click "Gather Info" (client 376,16 + menu bar) and close while it pauses.
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid),
                           QStringLiteral("--name"), QStringLiteral("Quarn Network Information"),
                           QStringLiteral("mousemove"), QStringLiteral("--window"), QStringLiteral("%1"),
                           QStringLiteral("420"), QStringLiteral("40"), QStringLiteral("click"),
                           QStringLiteral("1")});
        QThread::msleep(400);
        QElapsedTimer sinceClose;
        sinceClose.start();
        QVERIFY(closeWindows(*windows, pid) > 0);
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(sinceClose.elapsed() < 900, qPrintable(QString::number(sinceClose.elapsed())));
    }
};

QTEST_GUILESS_MAIN(CloseE2E)
#include "close_e2e_test.moc"

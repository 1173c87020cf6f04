// The real program under an X server while a gather waits for a page that
// never comes: clicks and keys start no second run, and the close box still
// ends the program at once. The page is asked of a server on 127.0.0.1 that
// accepts and never answers, so nothing leaves the machine.
#include "platform/host/host_platform.h"
#include "platform/window_service.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace qni;

class ResponsiveE2E : public QObject {
    Q_OBJECT

    static bool writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {})
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() &&
               (permissions == QFile::Permissions() || f.setPermissions(permissions));
    }

    static int lines(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : 0;
    }

    // xdotool on the program's window: "click" presses "Gather Info"
    // (client 376,16 below the menu bar), anything else is a key.
    static void xdotool(qint64 pid, const QString& what)
    {
        QStringList args{QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid),
                         QStringLiteral("--name"), QStringLiteral("Quarn Network Information")};
        args << QStringLiteral("mousemove") << QStringLiteral("--window") << QStringLiteral("%1")
             << QStringLiteral("420") << QStringLiteral("40");
        if (what == QLatin1String("click"))
            args << QStringLiteral("click") << QStringLiteral("1");
        else
            args << QStringLiteral("key") << what;
        QProcess::execute(QStringLiteral("xdotool"), args);
    }

private slots:
    void inputIsRefusedAndCloseEndsTheProgramDuringAFetch()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server (the tests run under xvfb-run)");

        // The described XP machine, but with the host's real page fetch.
        QTemporaryDir dir;
        QFile xp(QStringLiteral(QNI_TEST_DATA "/machines/xp-sp3.json"));
        QVERIFY(xp.open(QIODevice::ReadOnly));
        QJsonObject machine = QJsonDocument::fromJson(xp.readAll()).object();
        machine.remove(QStringLiteral("publicPage"));
        const QString machinePath = dir.filePath(QStringLiteral("machine.json"));
        QVERIFY(writeFile(machinePath, QJsonDocument(machine).toJson()));
        // Each run of the command interpreter leaves a line: one line per run.
        const QString runs = dir.filePath(QStringLiteral("runs"));
        const QString interpreter = dir.filePath(QStringLiteral("cmd"));
        QVERIFY(writeFile(interpreter,
                          "#!/bin/sh\necho run >>'" + runs.toUtf8() + "'\nexec '" QNI_BIN_DIR "/qni-cmd' \"$@\"\n",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QTcpServer page;
        QVERIFY(page.listen(QHostAddress::LocalHost));
        QList<QTcpSocket*> held;
        connect(&page, &QTcpServer::newConnection, [&] {
            while (QTcpSocket* s = page.nextPendingConnection())
                held << s;
        });
        const auto hangUp = [&] {
            for (QTcpSocket* s : held)
                s->abort();
        };

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QNI_MACHINE"), machinePath);
        env.insert(QStringLiteral("ComSpec"), interpreter);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QNI_BIN_DIR "/quarn-network-information"),
                      {QStringLiteral("--public-page"), QStringLiteral("http://127.0.0.1:%1/").arg(page.serverPort())});
        QVERIFY(program.waitForStarted());
        const qint64 pid = program.processId();
        auto windows = makeHostWindowService();
        const auto hasWindow = [&] {
            for (const auto& w : windows->topLevelWindows())
                if (w.processId == pid)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(hasWindow(), 10000);

        // Input during the fetch is not taken, not even later: once the page
        // fails and the gather ends, the command has still run only once.
        xdotool(pid, QStringLiteral("click"));
        QTRY_COMPARE_WITH_TIMEOUT(held.size(), 1, 10000);
        xdotool(pid, QStringLiteral("click"));
        xdotool(pid, QStringLiteral("space"));
        xdotool(pid, QStringLiteral("Return"));
        QThread::msleep(300);
        hangUp();
        QTest::qWait(2000); // the failed fetch, then the gather's one-second pause
        QCOMPARE(lines(runs), 1);
        QCOMPARE(program.state(), QProcess::Running);

        // A close request during the next fetch ends the program at once.
        xdotool(pid, QStringLiteral("click"));
        QTRY_COMPARE_WITH_TIMEOUT(held.size(), 2, 10000);
        QThread::msleep(300);
        QElapsedTimer sinceClose;
        sinceClose.start();
        int posted = 0;
        for (const auto& w : windows->topLevelWindows())
            if (w.processId == pid && w.parent == 0 && windows->postMessage(w.window, kWmClose, 0, 0))
                ++posted;
        QVERIFY(posted > 0);
        QVERIFY(program.waitForFinished(5000));
        QVERIFY2(sinceClose.elapsed() < 1000, qPrintable(QString::number(sinceClose.elapsed())));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(lines(runs), 2);
    }
};

QTEST_GUILESS_MAIN(ResponsiveE2E)
#include "responsive_e2e_test.moc"

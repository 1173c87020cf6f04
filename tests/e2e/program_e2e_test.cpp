// The executable itself: how it refuses bad machine descriptions and a
// missing display.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class ProgramE2E : public QObject {
    Q_OBJECT

    struct Exit {
        int code = -1;
        QByteArray err;
    };

    static Exit run(const QProcessEnvironment& env)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QNI_BIN_DIR "/quarn-network-information"), {});
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
    }

    static QProcessEnvironment withMachine(const QString& path)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QNI_MACHINE"), path);
        return env;
    }

private slots:
    void badDescriptionsExitWithStatusTwo_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("fault");
        QTest::newRow("syntax") << QByteArray("{\n  \"registry\": {\n    \"a\": 1,,\n  }\n}") << "line 3, column";
        QTest::newRow("empty") << QByteArray() << "line 1, column 1";
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff", 4) << "line 1, column";
        QTest::newRow("shape") << QByteArray("{\"management\": {\"Win32_Processor\": 5}}")
                               << "expected an array of instances";
        QTest::newRow("top-level array") << QByteArray("[]") << "expected a JSON object";
    }

    void badDescriptionsExitWithStatusTwo()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("machine.json"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const Exit e = run(withMachine(path));
        QCOMPARE(e.code, 2);
        QCOMPARE(e.err.count('\n'), 1);
        QVERIFY2(e.err.contains(path.toUtf8()), e.err.constData());
        QVERIFY2(e.err.contains(fault.toUtf8()), e.err.constData());
    }

    void missingAndUnreadableDescriptions()
    {
        QTemporaryDir dir;
        Exit e = run(withMachine(dir.filePath(QStringLiteral("absent.json"))));
        QCOMPARE(e.code, 2);
        QVERIFY(e.err.contains("absent.json: no such file"));
        e = run(withMachine(dir.path()));
        QCOMPARE(e.code, 2);
        QVERIFY(e.err.contains("is a directory"));
    }

    void noDisplaySaysHowToRunUnderXvfb()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QNI_MACHINE"})
            env.remove(QLatin1String(name));
        const Exit e = run(env);
        QVERIFY(e.code != 0);
        QCOMPARE(e.err.count('\n'), 1);
        QVERIFY2(e.err.contains("no display") && e.err.contains("xvfb-run"), e.err.constData());
    }
};

QTEST_GUILESS_MAIN(ProgramE2E)
#include "program_e2e_test.moc"

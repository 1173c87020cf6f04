// --report and --json from the real executable, with no display, against the
// real window run in this process on the same described machines.
#include "app/report.h"
#include "platform/platform.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace qni;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run runProgram(const QStringList& arguments, const QString& machine,
               const QString& stdoutFile = {}, const QString& display = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QNI_MACHINE", "ComSpec"})
        env.remove(QLatin1String(name));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QNI_MACHINE"), machine);
    QProcess p;
    p.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(QNI_BIN_DIR "/quarn-network-information"), arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QString machinePath(const char* name)
{
    return QStringLiteral(QNI_TEST_DATA "/machines/") + QLatin1String(name);
}

} // namespace

class ReportE2E : public QObject {
    Q_OBJECT

private slots:
    void reportAndWindowShowTheSameFacts_data()
    {
        QTest::addColumn<QString>("machine");
        for (const char* name : {"xp-sp3.json", "nothing-works.json", "vista.json", "odd-texts.json"})
            QTest::newRow(name) << machinePath(name);
    }

    void reportAndWindowShowTheSameFacts()
    {
        QFETCH(QString, machine);
        qputenv("QNI_MACHINE", machine.toUtf8());
        FrmMain window(platformFromEnvironment());
        QStringList messages;
        window.setMessageHandler([&messages](const QString& text) { messages << text; });
        window.setEndProgram([] {});
        window.show();
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("cmdGet")), Qt::LeftButton);
        ResultBoxes& boxes = window.boxes();
        const int code = window.lastOutcome().notXp ? 3 : 0;

        const Run json = runProgram({QStringLiteral("--json")}, machine);
        QCOMPARE(json.code, code);
        QCOMPARE(json.err.contains("This is not a version of Windows XP!"), !messages.isEmpty());
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(json.out, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, json.out.constData());
        for (const FactInfo& info : kFacts) {
            const QString text = info.box(boxes).get();
            if (info.fact != Fact::MemoryChips) {
                QCOMPARE(o.value(QLatin1String(info.jsonName)).toString(), text);
                continue;
            }
            QStringList chips;
            for (const QJsonValue& chip : o.value(QLatin1String(info.jsonName)).toArray())
                chips << chip.toString() + QStringLiteral("\r\n");
            QCOMPARE(chips.join(QString()), text);
        }
        QCOMPARE(o.value(QStringLiteral("status")).toString(), boxes.lblStatus.get());
        QJsonArray unavailable;
        for (const FactFailure& failure : window.lastOutcome().failures)
            unavailable.append(QLatin1String(factInfo(failure.fact).jsonName));
        QCOMPARE(o.value(QStringLiteral("unavailable")).toArray(), unavailable);

        const Run text = runProgram({QStringLiteral("--report")}, machine);
        QCOMPARE(text.code, code);
        QCOMPARE(text.out, textReport(reportFacts(boxes, window.lastOutcome())));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QString>("stdoutFile");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("said");
        const QString xp = machinePath("xp-sp3.json");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << xp << QString() << QString()
                                        << 2 << QByteArray("bogus");
        QTest::newRow("both forms") << QStringList{QStringLiteral("--report"), QStringLiteral("--json")} << xp
                                    << QString() << QString() << 2 << QByteArray("together");
        QTest::newRow("bad description") << QStringList{QStringLiteral("--json")}
                                         << machinePath("absent.json") << QString() << QString() << 2
                                         << QByteArray("absent.json");
        QTest::newRow("full disk") << QStringList{QStringLiteral("--report")} << xp << QStringLiteral("/dev/full")
                                   << QString() << 1 << QByteArray("could not be written");
        QTest::newRow("unreachable display") << QStringList{QStringLiteral("--json")} << xp << QString()
                                             << QStringLiteral(":97") << 0 << QByteArray();
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, machine);
        QFETCH(QString, stdoutFile);
        QFETCH(QString, display);
        QFETCH(int, code);
        QFETCH(QByteArray, said);
        const Run r = runProgram(arguments, machine, stdoutFile, display);
        QCOMPARE(r.code, code);
        QCOMPARE(r.err.count('\n'), said.isEmpty() ? 0 : 1);
        QVERIFY2(r.err.contains(said), r.err.constData());
        if (code == 2)
            QVERIFY(r.out.isEmpty());
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window in this process finds the interpreter the way the program
    // finds it beside itself.
    qputenv("ComSpec", QByteArrayLiteral(QNI_BIN_DIR "/qni-cmd"));
    QApplication app(argc, argv);
    ReportE2E test;
    return QTest::qExec(&test, argc, argv);
}

#include "report_e2e_test.moc"

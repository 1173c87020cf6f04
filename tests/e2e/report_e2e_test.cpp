// --report and --json from the real executable, with no display, against the
// real window run in this process on the same described machines.
#include "app/report.h"
#include "platform/described/platform_from_environment.h"
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

    void exitStatuses()
    {
        struct Case {
            QStringList arguments;
            const char* machine;
            QString stdoutFile;
            QString display;
            int code;
            QByteArray said; // the one line on standard error, if any
        };
        const Case cases[] = {
            {{"--bogus"}, "xp-sp3.json", {}, {}, 2, "bogus"},
            {{"--report", "--json"}, "xp-sp3.json", {}, {}, 2, "together"},
            {{"--json"}, "absent.json", {}, {}, 2, "absent.json"},
            {{"--report"}, "xp-sp3.json", "/dev/full", {}, 1, "could not be written"},
            {{"--json"}, "xp-sp3.json", {}, ":97", 0, {}},
        };
        for (const Case& c : cases) {
            const Run r = runProgram(c.arguments, machinePath(c.machine), c.stdoutFile, c.display);
            const QByteArray what = c.arguments.join(u' ').toUtf8() + ' ' + c.said + ": " + r.err;
            QVERIFY2(r.code == c.code, what.constData());
            QVERIFY2(r.err.count('\n') == (c.said.isEmpty() ? 0 : 1) && r.err.contains(c.said), what.constData());
            QVERIFY2(c.code != 2 || r.out.isEmpty(), what.constData());
        }
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

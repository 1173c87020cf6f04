// The real main window on described machines, driven by real clicks.
#include "base/text_slot.h"
#include "platform/described/platform_from_environment.h"
#include "ui/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace qni;

class WindowE2E : public QObject {
    Q_OBJECT

    std::unique_ptr<FrmMain> open(const char* machine)
    {
        qputenv("QNI_MACHINE", QByteArray(QNI_TEST_DATA "/machines/") + machine);
        qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd"); // beside the program, not beside this test
        auto w = std::make_unique<FrmMain>(platformFromEnvironment());
        w->setEndProgram([] {});
        w->show();
        QTest::qWaitForWindowExposed(w.get());
        return w;
    }
    static QString box(FrmMain& w, const char* name)
    {
        return dynamic_cast<TextSlot*>(w.findChild<QWidget*>(QLatin1String(name)))->get();
    }
    // Clicks "Gather Info"; answers a modal message box, if one comes, with OK.
    static QStringList gather(FrmMain& w)
    {
        auto seen = std::make_shared<QStringList>();
        auto* timer = new QTimer(&w);
        QObject::connect(timer, &QTimer::timeout, [seen] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *seen << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer->start(20);
        QTest::mouseClick(w.findChild<QWidget*>(QStringLiteral("cmdGet")), Qt::LeftButton);
        timer->stop();
        delete timer;
        return *seen;
    }

private slots:
    void xpMachineFillsTheSystemFrames()
    {
        auto w = open("xp-sp3.json");
        QCOMPARE(gather(*w), QStringList());
        QCOMPARE(box(*w, "txtOS"), QStringLiteral("Windows Xp Service Pack 3 Build 2600"));
        QCOMPARE(box(*w, "txtOSSerial"), QStringLiteral("76487-OEM-0011903-00102"));
        QCOMPARE(box(*w, "txtVersion"), QStringLiteral("5.1.2600"));
        QCOMPARE(box(*w, "txtMemory"), QStringLiteral("512 MB Chip\r\n512 MB Chip\r\n"));
        QCOMPARE(box(*w, "txtCPU"), QStringLiteral("               Intel(R) Pentium(R) 4 CPU 3.00GHz"));
        QCOMPARE(box(*w, "txtCPUSpeed"), QStringLiteral("2992 Mhz"));
        QCOMPARE(box(*w, "lblStatus"), QStringLiteral("Information Gathered Successfully!"));
        // What the user sees in the memory box: one line per module.
        QCOMPARE(w->findChild<QPlainTextEdit*>(QStringLiteral("txtMemory"))->toPlainText(),
                 QStringLiteral("512 MB Chip\n512 MB Chip\n"));
    }

    void notXpShowsTheMessageOnceAndStops()
    {
        auto w = open("vista.json");
        QCOMPARE(gather(*w), QStringList{QStringLiteral("This is not a version of Windows XP!")});
        QCOMPARE(box(*w, "txtOS"), QStringLiteral("Not XP!"));
        for (const char* name : {"txtOSSerial", "txtVersion", "txtMemory", "txtCPU", "txtCPUSpeed", "txtNETIP",
                                 "txtINTIP", "txtMask", "txtMac"})
            QCOMPARE(box(*w, name), QString());
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(),
                 QStringLiteral("This is not a version of Windows XP!"));
    }

    void failingServicesEndWithErrors()
    {
        auto w = open("nothing-works.json");
        QCOMPARE(gather(*w), QStringList());
        QCOMPARE(box(*w, "txtOS"), QStringLiteral("Windows Xp Build "));
        QCOMPARE(box(*w, "txtMemory"), QString());
        QCOMPARE(box(*w, "txtCPUSpeed"), QString());
        QCOMPARE(box(*w, "txtCPU"), QString());
        QCOMPARE(box(*w, "lblStatus"), QStringLiteral("Information Gathered With Errors!"));
        QVERIFY(w->lastOutcome().failed(Fact::Cpu));
    }

    void hostMachinePresentsWindowsXp()
    {
        qunsetenv("QNI_MACHINE");
        FrmMain w(platformFromEnvironment());
        w.setEndProgram([] {});
        w.show();
        gather(w);
        QCOMPARE(box(w, "txtOS"), QStringLiteral("Windows Xp Service Pack 3 Build 2600"));
        QCOMPARE(box(w, "txtVersion"), QStringLiteral("5.1.2600"));
        QVERIFY(box(w, "txtOSSerial").contains(QRegularExpression(QStringLiteral("^76487-OEM-\\d{7}-\\d{5}$"))));
        QVERIFY(box(w, "txtMemory").endsWith(QStringLiteral(" MB Chip\r\n")));
        QVERIFY(box(w, "txtCPUSpeed").endsWith(QStringLiteral(" Mhz")));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowE2E test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_e2e_test.moc"

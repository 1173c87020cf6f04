// The IP Information frame filled by the real window on described machines:
// ipconfig's output through the real runner and interpreter, the local
// address, the masks and the public page.
#include "base/text_slot.h"
#include "platform/described/platform_from_environment.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace qni;

namespace {

const QString kXpOutput = QStringLiteral(
    "\r\nWindows IP Configuration\r\n\r\n"
    "        Host Name . . . . . . . . . . . . : quarn-xp\r\n"
    "        Node Type . . . . . . . . . . . . : Unknown\r\n\r\n"
    "Ethernet adapter Local Area Connection:\r\n\r\n"
    "        Connection-specific DNS Suffix  . : \r\n"
    "        Description . . . . . . . . . . . : VMware Accelerated AMD PCNet Adapter\r\n"
    "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
    "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
    "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n"
    "        Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n");

QString section(const QString& name, const QString& description, const QString& mac)
{
    return QStringLiteral("Ethernet adapter %1:\r\n\r\n"
                          "        Description . . . . . . . . . . . : %2\r\n"
                          "        Physical Address. . . . . . . . . : %3\r\n"
                          "        Dhcp Enabled. . . . . . . . . . . : Yes\r\n"
                          "        IP Address. . . . . . . . . . . . : 10.0.0.2\r\n\r\n")
        .arg(name, description, mac);
}

QJsonObject xpMachine()
{
    const QString v = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\");
    QJsonObject registry{{v + QStringLiteral("BuildLab"), QStringLiteral("2600.xpsp.080413-2111")},
                         {v + QStringLiteral("CurrentBuildNumber"), QStringLiteral("2600")}};
    QJsonObject management{
        {QStringLiteral("Win32_OperatingSystem"), QJsonArray{}},
        {QStringLiteral("Win32_PhysicalMemory"), QJsonArray{}},
        {QStringLiteral("Win32_Processor"), QJsonArray{}},
        {QStringLiteral("Win32_NetworkAdapterConfiguration"),
         QJsonArray{QJsonObject{{QStringLiteral("IPEnabled"), true},
                                {QStringLiteral("IPSubnet"), QJsonArray{QStringLiteral("255.255.255.0")}}}}}};
    return QJsonObject{{QStringLiteral("registry"), registry},
                       {QStringLiteral("management"), management},
                       {QStringLiteral("commands"), QJsonObject{{QStringLiteral("ipconfig /all"), kXpOutput}}},
                       {QStringLiteral("localAddress"), QStringLiteral("192.168.1.10")},
                       {QStringLiteral("publicPage"), QStringLiteral("81.2.3.4")}};
}

} // namespace

class NetworkE2E : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int files_ = 0;

    std::unique_ptr<FrmMain> open(const QJsonObject& machine)
    {
        const QString path = dir_.filePath(QStringLiteral("m%1.json").arg(++files_));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QJsonDocument(machine).toJson());
        f.close();
        qputenv("QNI_MACHINE", path.toUtf8());
        auto w = std::make_unique<FrmMain>(platformFromEnvironment());
        w->setEndProgram([] {});
        w->show();
        return w;
    }
    static QString box(FrmMain& w, const char* name)
    {
        return dynamic_cast<TextSlot*>(w.findChild<QWidget*>(QLatin1String(name)))->get();
    }
    static void gather(FrmMain& w)
    {
        QTest::mouseClick(w.findChild<QWidget*>(QStringLiteral("cmdGet")), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        // The interpreter lives beside the program, not beside this test.
        qputenv("ComSpec", QByteArrayLiteral(QNI_BIN_DIR "/qni-cmd"));
    }

    void macAddressCut_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<bool>("failed"); // else there was no such adapter to show
        QTest::newRow("typical") << kXpOutput << "00-0C-29-4F-1A-2B" << false;
        QTest::newRow("LF line ends") << QString(kXpOutput).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                      << "00-0C-29-4F-1A-2B" << false;
        QTest::newRow("no Local Area Connection")
            << QString(kXpOutput).replace(QStringLiteral("Local Area Connection"), QStringLiteral("LAN"))
            << "" << false;
        QTest::newRow("IP before the physical address")
            << section(QStringLiteral("Local Area Connection"), QStringLiteral("Intel PRO/1000 MT IP Adapter"),
                       QStringLiteral("00-11-22-33-44-55"))
            << "" << true;
        QTest::newRow("no Dhcp line")
            << QString(kXpOutput).replace(QStringLiteral("        Dhcp Enabled"), QStringLiteral("   Dhcp Enabled"))
            << "" << true;
        QTest::newRow("several sections: the first wins")
            << section(QStringLiteral("Local Area Connection"), QStringLiteral("First"),
                       QStringLiteral("00-AA-BB-CC-DD-01")) +
                   section(QStringLiteral("Local Area Connection 2"), QStringLiteral("Second"),
                           QStringLiteral("00-AA-BB-CC-DD-02"))
            << "00-AA-BB-CC-DD-01" << false;
        QTest::newRow("empty output") << QString() << "" << false;
    }

    void macAddressCut()
    {
        QFETCH(QString, output);
        QFETCH(QString, mac);
        QFETCH(bool, failed);
        QJsonObject m = xpMachine();
        m[QStringLiteral("commands")] = QJsonObject{{QStringLiteral("ipconfig /all"), output}};
        auto w = open(m);
        gather(*w);
        QCOMPARE(box(*w, "txtMac"), mac);
        QCOMPARE(box(*w, "txtOutput"), mac);
        QCOMPARE(w->lastOutcome().failed(Fact::MacAddress), failed);
    }

    void addressesAndMasks()
    {
        QJsonObject m = xpMachine();
        QJsonObject management = m[QStringLiteral("management")].toObject();
        management[QStringLiteral("Win32_NetworkAdapterConfiguration")] = QJsonArray{
            QJsonObject{{QStringLiteral("IPEnabled"), true},
                        {QStringLiteral("IPSubnet"), QJsonArray{QStringLiteral("255.0.0.0")}}},
            QJsonObject{{QStringLiteral("IPEnabled"), false},
                        {QStringLiteral("IPSubnet"), QJsonArray{QStringLiteral("255.255.255.252")}}},
            QJsonObject{{QStringLiteral("IPEnabled"), true},
                        {QStringLiteral("IPSubnet"),
                         QJsonArray{QStringLiteral("255.255.255.0"), QStringLiteral("255.255.0.0")}}}};
        m[QStringLiteral("management")] = management;
        auto w = open(m);
        gather(*w);
        QCOMPARE(box(*w, "txtNETIP"), QStringLiteral("192.168.1.10"));
        QCOMPARE(box(*w, "txtMask"), QStringLiteral("255.255.255.0 255.255.0.0"));
        QCOMPARE(box(*w, "txtINTIP"), QStringLiteral("81.2.3.4"));
    }

    void publicPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("shown");
        QTest::newRow("bare address") << "81.2.3.4" << "81.2.3.4";
        QTest::newRow("displaycopy") << "<a onclick=\"displaycopy('81.2.3.4')\">" << "81.2.3.4";
        QTest::newRow("first (' elsewhere") << "x('a') displaycopy('81.2.3.4')" << "a";
        QTest::newRow("no displaycopy: whole page") << "<p>('81.2.3.4')</p>" << "<p>('81.2.3.4')</p>";
    }

    void publicPage()
    {
        QFETCH(QString, page);
        QFETCH(QString, shown);
        QJsonObject m = xpMachine();
        m[QStringLiteral("publicPage")] = page;
        auto w = open(m);
        gather(*w);
        QCOMPARE(box(*w, "txtINTIP"), shown);
    }

    void nothingAvailable()
    {
        QJsonObject m = xpMachine();
        m[QStringLiteral("management")] = QJsonValue::Null;
        m[QStringLiteral("localAddress")] = QJsonValue::Null;
        m[QStringLiteral("publicPage")] = QJsonValue::Null;
        auto w = open(m);
        gather(*w);
        QCOMPARE(box(*w, "txtNETIP"), QString());
        QCOMPARE(box(*w, "txtMask"), QString());
        QCOMPARE(box(*w, "txtINTIP"), QString());
        QCOMPARE(box(*w, "txtMac"), QStringLiteral("00-0C-29-4F-1A-2B"));
        QCOMPARE(box(*w, "lblStatus"), QStringLiteral("Information Gathered With Errors!"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NetworkE2E test;
    return QTest::qExec(&test, argc, argv);
}

#include "network_e2e_test.moc"

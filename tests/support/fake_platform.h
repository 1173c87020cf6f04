#pragma once

#include "base/result_boxes.h"
#include "support/qt_printers.h"
#include "base/step_failed.h"
#include "platform/management.h"
#include "platform/platform.h"
#include "platform/process_service.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/window_service.h"

#include <QHash>
#include <QStringList>

#include <cerrno>
#include <memory>

namespace qni::test {

// A management service with known classes; records what callers ask for.
class FakeManagement final : public ManagementProvider {
public:
    bool reachable = true;
    QHash<QString, ManagementCollection> classes; // keyed by exact class name
    mutable QStringList asked;                    // class names, in order

    std::unique_ptr<ManagementService> bind() const override;
};

// A registry with known values; records every path read.
class FakeRegistry final : public RegistryProvider {
public:
    bool available = true;
    QHash<QString, Variant> values;
    mutable QStringList read;

    std::unique_ptr<RegistryShell> create() const override;
};

ManagementObject object(std::initializer_list<QPair<QString, Variant>> properties);

// Services that do nothing: no command starts, no window is found, nothing
// opens. Tests derive from them to script only the calls they look at.
class InertProcesses : public ProcessService {
public:
    QString commandInterpreter() const override { return QStringLiteral("cmd"); }
    bool createPipe(int&, int&) override { return false; }
    bool createProcess(const QByteArray&, int, int&) override { return false; }
    bool readFile(int, char*, int, int& bytesRead) override
    {
        bytesRead = 0;
        return false;
    }
    void closeHandle(int) override {}
    void closeProcess(int) override {}
    ProcessHandle openProcess(qint64) override { return 0; }
    bool terminateProcess(ProcessHandle, quint32) override { return false; }
    void closeProcessHandle(ProcessHandle) override {}
    int lastError() const override { return ENOSYS; }
};

class InertWindows : public WindowService {
public:
    QList<TopLevelWindow> topLevelWindows() override { return {}; }
    bool postMessage(WindowId, quint32, qint64, qint64) override { return false; }
    void keepOffTaskBar(WindowId) override {}
    void offerMoveAndCloseOnly(WindowId) override {}
};

class InertShell : public Shell {
public:
    void open(const QString&) override {}
};

// A platform with every service: the two fakes, the inert services, and a
// machine without a network (no local address, no page).
struct FakePlatform {
    std::shared_ptr<FakeManagement> management = std::make_shared<FakeManagement>();
    std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    Platform platform() const;

    // A Windows XP SP3 machine with one 512 MB module and one processor.
    static FakePlatform windowsXp();
};

// Thirteen plain boxes and two captions, wired as the window wires them.
struct PlainBoxes {
    PlainTextSlot txtOS, txtOSSerial, txtVersion, txtMemory, txtCPU, txtCPUSpeed, txtNETIP, txtINTIP, txtMask,
        txtMac, txtOutput, txtIP, txtTotal, lblStatus, lblIPConfig{QStringLiteral("ipconfig /all")};
    ResultBoxes boxes{txtOS,    txtOSSerial, txtVersion, txtMemory, txtCPU,    txtCPUSpeed, txtNETIP, txtINTIP,
                      txtMask,  txtMac,      txtOutput,  txtIP,     txtTotal,  lblStatus,   lblIPConfig};
};

} // namespace qni::test

#pragma once

#include "base/result_boxes.h"
#include "support/qt_printers.h"
#include "base/step_failed.h"
#include "platform/management.h"
#include "platform/platform.h"
#include "platform/registry.h"

#include <QHash>
#include <QStringList>

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

// A platform made of the two fakes; everything else absent.
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

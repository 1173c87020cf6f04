#include "support/fake_platform.h"

#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"

namespace qni::test {

namespace {

class FakeManagementService final : public ManagementService {
public:
    explicit FakeManagementService(const FakeManagement& owner) : owner_(owner) {}
    ManagementCollection instancesOf(const QString& className) const override
    {
        owner_.asked.append(className);
        const auto it = owner_.classes.constFind(className);
        if (it == owner_.classes.constEnd())
            throw StepFailed("Invalid class");
        return *it;
    }

private:
    const FakeManagement& owner_;
};

class FakeRegistryShell final : public RegistryShell {
public:
    explicit FakeRegistryShell(const FakeRegistry& owner) : owner_(owner) {}
    Variant regRead(const QString& path) const override
    {
        owner_.read.append(path);
        const auto it = owner_.values.constFind(path);
        if (it == owner_.values.constEnd())
            throw StepFailed("Unable to open registry key");
        return *it;
    }

private:
    const FakeRegistry& owner_;
};

} // namespace

std::unique_ptr<ManagementService> FakeManagement::bind() const
{
    if (!reachable)
        throw StepFailed("unreachable");
    return std::make_unique<FakeManagementService>(*this);
}

std::unique_ptr<RegistryShell> FakeRegistry::create() const
{
    if (!available)
        throw StepFailed("ActiveX component can't create object");
    return std::make_unique<FakeRegistryShell>(*this);
}

ManagementObject object(std::initializer_list<QPair<QString, Variant>> properties)
{
    ManagementObject o;
    for (const auto& p : properties)
        o.properties.append(p);
    return o;
}

Platform FakePlatform::platform() const
{
    Platform p;
    p.management = management;
    p.registry = registry;
    p.processes = std::make_shared<InertProcesses>();
    p.windows = std::make_shared<InertWindows>();
    p.versionRecord = {5, 1, 2};
    p.shell = std::make_shared<InertShell>();
    return applyDescription(
        parseMachineDescription(R"({"localAddress": null, "publicPage": null})", QStringLiteral("no network")), p);
}

FakePlatform FakePlatform::windowsXp()
{
    FakePlatform f;
    f.registry->values = {
        {regpath::kBuildLab, Variant::text(QStringLiteral("2600.xpsp.080413-2111"))},
        {regpath::kCsdVersion, Variant::text(QStringLiteral("Service Pack 3"))},
        {regpath::kCurrentBuildNumber, Variant::text(QStringLiteral("2600"))},
        {regpath::kProcessorNameString, Variant::text(QStringLiteral("      Intel(R) Pentium(R) 4 CPU 3.00GHz"))},
    };
    f.management->classes = {
        {QStringLiteral("Win32_OperatingSystem"),
         {object({{QStringLiteral("Version"), Variant::text(QStringLiteral("5.1.2600"))},
                  {QStringLiteral("SerialNumber"), Variant::text(QStringLiteral("76487-OEM-0011903-00102"))}})}},
        {QStringLiteral("Win32_PhysicalMemory"),
         {object({{QStringLiteral("Capacity"), Variant::text(QStringLiteral("536870912"))}})}},
        {QStringLiteral("Win32_Processor"), {object({{QStringLiteral("CurrentClockSpeed"), Variant::number(2992)}})}},
    };
    return f;
}

} // namespace qni::test

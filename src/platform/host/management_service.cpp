// SPDX-License-Identifier: MIT
#include "platform/host/management_service.h"

#include "base/step_failed.h"
#include "platform/host/facts/cpu.h"
#include "platform/host/host_platform.h"
#include "platform/host/facts/memory.h"

namespace qni {

namespace {

bool is(const QString& className, QLatin1String name)
{
    return className.compare(name, Qt::CaseInsensitive) == 0;
}

QString macText(const QByteArray& mac)
{
    return QString::fromLatin1(mac.toHex(':').toUpper());
}

// Every call reads the host afresh: each bind of the real service sees the
// machine as it is at that moment.
class HostManagementService final : public ManagementService {
public:
    HostManagementService(QString root, HostIdentity identity, AdapterSource adapters)
        : root_(std::move(root)), identity_(std::move(identity)), adapters_(std::move(adapters))
    {
    }

    ManagementCollection instancesOf(const QString& className) const override
    {
        if (is(className, QLatin1String("Win32_OperatingSystem")))
            return operatingSystem();
        if (is(className, QLatin1String("Win32_PhysicalMemory")))
            return physicalMemory();
        if (is(className, QLatin1String("Win32_Processor")))
            return processors();
        if (is(className, QLatin1String("Win32_NetworkAdapterConfiguration")))
            return adapterConfigurations();
        throw StepFailed("Invalid class");
    }

private:
    ManagementCollection operatingSystem() const
    {
        auto textOrNull = [](const QString& s) { return s.isEmpty() ? Variant::null() : Variant::text(s); };
        ManagementObject os;
        os.properties = {
            {QStringLiteral("Caption"), Variant::text(identity_.name)},
            {QStringLiteral("SerialNumber"), textOrNull(identity_.installationId)},
            {QStringLiteral("Version"), textOrNull(identity_.kernelRelease)},
        };
        return {os};
    }

    ManagementCollection physicalMemory() const
    {
        ManagementCollection modules;
        for (const ModuleSize& size : readMemoryModules(root_)) {
            ManagementObject module;
            // The real service hands 64-bit values over as decimal text.
            module.properties = {
                {QStringLiteral("Capacity"), size ? Variant::text(QString::number(*size)) : Variant::null()},
                {QStringLiteral("Tag"), Variant::text(QStringLiteral("Physical Memory %1").arg(modules.size()))},
            };
            modules.append(module);
        }
        return modules;
    }

    ManagementCollection processors() const
    {
        ManagementCollection result;
        for (const ProcessorFacts& p : readProcessors(root_)) {
            ManagementObject processor;
            // An unknown clock is left out rather than null: the speed box
            // then stays empty instead of showing " Mhz" alone.
            if (p.clockMhz)
                processor.properties.append({QStringLiteral("CurrentClockSpeed"), Variant::number(double(*p.clockMhz))});
            processor.properties.append(
                {QStringLiteral("DeviceID"), Variant::text(QStringLiteral("CPU%1").arg(result.size()))});
            processor.properties.append(
                {QStringLiteral("Name"), p.name ? Variant::text(*p.name) : Variant::null()});
            result.append(processor);
        }
        return result;
    }

    ManagementCollection adapterConfigurations() const
    {
        ManagementCollection result;
        for (const Adapter& a : adapters_()) {
            if (a.loopback)
                continue;
            QStringList addresses;
            QStringList masks;
            for (const Ipv4Address& ip : a.ipv4) {
                addresses.append(ip.address);
                masks.append(ip.netmask);
            }
            const bool ipEnabled = !a.ipv4.isEmpty();
            ManagementObject config;
            config.properties = {
                {QStringLiteral("Description"), Variant::text(a.description.isEmpty() ? a.name : a.description)},
                {QStringLiteral("Index"), Variant::number(double(result.size()))},
                {QStringLiteral("InterfaceIndex"), Variant::number(double(a.index))},
                {QStringLiteral("IPAddress"), ipEnabled ? Variant::array(addresses) : Variant::null()},
                {QStringLiteral("IPEnabled"), Variant::boolean(ipEnabled)},
                {QStringLiteral("IPSubnet"), ipEnabled ? Variant::array(masks) : Variant::null()},
                {QStringLiteral("MACAddress"), a.mac.size() == 6 ? Variant::text(macText(a.mac)) : Variant::null()},
                {QStringLiteral("SettingID"), Variant::text(a.name)},
            };
            result.append(config);
        }
        return result;
    }

    QString root_;
    HostIdentity identity_;
    AdapterSource adapters_;
};

class HostManagement final : public ManagementProvider {
public:
    HostManagement(QString root, HostIdentity identity, AdapterSource adapters)
        : root_(std::move(root)), identity_(std::move(identity)), adapters_(std::move(adapters))
    {
    }

    std::unique_ptr<ManagementService> bind() const override
    {
        return std::make_unique<HostManagementService>(root_, identity_, adapters_);
    }

private:
    QString root_;
    HostIdentity identity_;
    AdapterSource adapters_;
};

} // namespace

std::shared_ptr<const ManagementProvider> makeHostManagement(const QString& root, const HostIdentity& identity,
                                                             AdapterSource adapters)
{
    return std::make_shared<HostManagement>(root, identity, std::move(adapters));
}

std::shared_ptr<const ManagementProvider> makeHostManagement(const QString& root, const HostIdentity& identity)
{
    return makeHostManagement(root, identity, [root] { return readHostAdapters(root); });
}

} // namespace qni

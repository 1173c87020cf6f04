// SPDX-License-Identifier: MIT
#include "host/management_service.h"

#include "base/step_failed.h"
#include "host/facts/cpu.h"
#include "host/host_platform.h"
#include "host/facts/memory.h"
#include "host/qt_text.h"

namespace qni {

namespace {

Text macText(const QByteArray& mac)
{
    return fromQt(QString::fromLatin1(mac.toHex(':').toUpper()));
}

std::vector<Text> texts(const QStringList& list)
{
    std::vector<Text> out;
    for (const QString& s : list)
        out.push_back(fromQt(s));
    return out;
}

// Every call reads the host afresh: each bind of the real service sees the
// machine as it is at that moment.
class HostManagementService final : public ManagementService {
public:
    HostManagementService(QString root, HostIdentity identity, AdapterSource adapters)
        : root_(std::move(root)), identity_(std::move(identity)), adapters_(std::move(adapters))
    {
    }

    ManagementCollection instancesOf(TextView className) const override
    {
        if (equalNoCase(className, u"Win32_OperatingSystem"))
            return operatingSystem();
        if (equalNoCase(className, u"Win32_PhysicalMemory"))
            return physicalMemory();
        if (equalNoCase(className, u"Win32_Processor"))
            return processors();
        if (equalNoCase(className, u"Win32_NetworkAdapterConfiguration"))
            return adapterConfigurations();
        throw StepFailed("Invalid class");
    }

private:
    ManagementCollection operatingSystem() const
    {
        auto textOrNull = [](const Text& s) { return s.empty() ? Variant::null() : Variant::text(s); };
        ManagementObject os;
        os.properties = {
            {u"Caption", Variant::text(identity_.name)},
            {u"SerialNumber", textOrNull(identity_.installationId)},
            {u"Version", textOrNull(identity_.kernelRelease)},
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
                {u"Capacity", size ? Variant::text(decimal((long long)*size)) : Variant::null()},
                {u"Tag", Variant::text(u"Physical Memory " + decimal((long long)modules.size()))},
            };
            modules.push_back(module);
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
                processor.properties.emplace_back(u"CurrentClockSpeed", Variant::number(double(*p.clockMhz)));
            processor.properties.emplace_back(u"DeviceID", Variant::text(u"CPU" + decimal((long long)result.size())));
            processor.properties.emplace_back(u"Name", p.name ? Variant::text(fromQt(*p.name)) : Variant::null());
            result.push_back(processor);
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
                {u"Description", Variant::text(fromQt(a.description.isEmpty() ? a.name : a.description))},
                {u"Index", Variant::number(double(result.size()))},
                {u"InterfaceIndex", Variant::number(double(a.index))},
                {u"IPAddress", ipEnabled ? Variant::array(texts(addresses)) : Variant::null()},
                {u"IPEnabled", Variant::boolean(ipEnabled)},
                {u"IPSubnet", ipEnabled ? Variant::array(texts(masks)) : Variant::null()},
                {u"MACAddress", a.mac.size() == 6 ? Variant::text(macText(a.mac)) : Variant::null()},
                {u"SettingID", Variant::text(fromQt(a.name))},
            };
            result.push_back(config);
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

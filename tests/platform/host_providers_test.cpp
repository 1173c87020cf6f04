#include "base/step_failed.h"
#include "platform/host/management_service.h"
#include "platform/host/host_platform.h"
#include "platform/registry.h"

#include "host_test_support.h"

#include <QTemporaryDir>

using namespace qni;

namespace {

const Identity kIdentity = Identity::windowsXp("4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f");

Adapter adapter(const char* name, int index, const QByteArray& mac, QList<Ipv4Address> ipv4)
{
    Adapter a;
    a.name = QString::fromLatin1(name);
    a.index = index;
    a.mac = mac;
    a.ipv4 = std::move(ipv4);
    return a;
}

std::vector<Adapter> fixedAdapters()
{
    Adapter lo = adapter("lo", 1, QByteArray(6, '\0'), {{"127.0.0.1", "255.0.0.0"}});
    lo.loopback = true;
    Adapter eth0 = adapter("eth0", 2, QByteArray::fromHex("000c293a4b5c"),
                           {{"192.168.1.10", "255.255.255.0"}, {"10.0.0.9", "255.0.0.0"}});
    eth0.description = QStringLiteral("e1000e");
    return {lo, eth0, adapter("wlan0", 3, QByteArray::fromHex("9cb6d0123456"), {}),
            adapter("tun0", 7, {}, {{"10.8.0.2", "255.255.255.255"}})};
}

std::unique_ptr<ManagementService> bindSample(const QString& root = hostSample(QStringLiteral("x86-server")))
{
    return makeHostManagement(root, kIdentity, fixedAdapters)->bind();
}

QList<Variant> column(const ManagementCollection& objects, const QString& property)
{
    QList<Variant> values;
    for (const ManagementObject& o : objects)
        values.append(o.property(property));
    return values;
}

TEST(HostManagement, ClassesFromTheSampleRoot)
{
    const auto service = bindSample();
    const auto os = service->instancesOf(QStringLiteral("Win32_OperatingSystem"));
    ASSERT_EQ(os.size(), 1);
    EXPECT_EQ(os[0].property("Version"), Variant::text("5.1.2600"));
    EXPECT_EQ(os[0].property("serialnumber"), Variant::text(kIdentity.serialNumber));
    // 64-bit capacities as decimal text; the slot of unknown size is there, null.
    EXPECT_EQ(column(service->instancesOf("win32_physicalmemory"), "capacity"),
              (QList<Variant>{Variant::text("1073741824"), Variant::text("536870912"), Variant::null(),
                              Variant::text("2147483648")}));
    const auto cpus = service->instancesOf(QStringLiteral("Win32_Processor"));
    EXPECT_EQ(column(cpus, "currentclockspeed"), (QList<Variant>{Variant::number(2993), Variant::number(1800)}));
    EXPECT_EQ(cpus[0].property("Name"), Variant::text("      Intel(R) Xeon(TM) CPU 3.00GHz"));
    for (const char* name : {"Win32_BIOS", "", "Win32_Processor "})
        EXPECT_THROW(service->instancesOf(QString::fromLatin1(name)), StepFailed) << name;
}

TEST(HostManagement, AdapterConfigurations)
{
    const auto service = bindSample();
    const auto all = service->instancesOf(QStringLiteral("Win32_NetworkAdapterConfiguration"));
    EXPECT_EQ(column(all, "SettingID"),
              (QList<Variant>{Variant::text("eth0"), Variant::text("wlan0"), Variant::text("tun0")}));
    EXPECT_EQ(column(all, "IPEnabled"),
              (QList<Variant>{Variant::boolean(true), Variant::boolean(false), Variant::boolean(true)}));
    EXPECT_EQ(column(all, "MACAddress"),
              (QList<Variant>{Variant::text("00:0C:29:3A:4B:5C"), Variant::text("9C:B6:D0:12:34:56"), Variant::null()}));
    EXPECT_EQ(all[1].property("IPSubnet"), Variant::null());
    EXPECT_EQ(all[0].property("Description"), Variant::text("e1000e"));

    const auto enabled = service->execQuery(
        QStringLiteral("SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True"));
    EXPECT_EQ(column(enabled, "IPSubnet"), (QList<Variant>{Variant::array({"255.255.255.0", "255.0.0.0"}),
                                                           Variant::array({"255.255.255.255"})}));
    EXPECT_EQ(enabled[0].property("IPAddress"), Variant::array({"192.168.1.10", "10.0.0.9"}));
}

TEST(HostManagement, FactsAreReadWhenAskedNotWhenBound)
{
    QTemporaryDir dir;
    const auto service = bindSample(dir.path());
    // No clock known yet: the property is left out, so the speed box stays empty.
    EXPECT_FALSE(service->instancesOf("Win32_Processor").front().find("CurrentClockSpeed"));
    writeFile(dir.path(), "proc/cpuinfo", "processor\t: 0\ncpu MHz\t\t: 1000.4\n");
    writeFile(dir.path(), "proc/meminfo", "MemTotal: 1048576 kB\n");
    EXPECT_EQ(column(service->instancesOf("Win32_Processor"), "CurrentClockSpeed"),
              QList<Variant>{Variant::number(1000)});
    EXPECT_EQ(column(service->instancesOf("Win32_PhysicalMemory"), "Capacity"),
              QList<Variant>{Variant::text("1073741824")});
}

TEST(HostRegistry, ValuesAndMissingPaths)
{
    const auto shell = makeHostRegistry(hostSample(QStringLiteral("x86-server")), kIdentity)->create();
    const std::pair<QString, QString> values[] = {
        {regpath::kBuildLab, "2600.xpsp.080413-2111"},
        {regpath::kCsdVersion, "Service Pack 3"},
        {regpath::kCurrentBuildNumber, "2600"},
        {regpath::kCurrentBuildNumber.toUpper(), "2600"},
        {regpath::kProcessorNameString, "      Intel(R) Xeon(TM) CPU 3.00GHz"},
        {regpath::kProcessorNameString.toLower(), "      Intel(R) Xeon(TM) CPU 3.00GHz"},
    };
    for (const auto& [path, text] : values)
        EXPECT_EQ(shell->regRead(path), Variant::text(text)) << path.toStdString();

    for (const QString& path : {regpath::kBuildLab + "\\", " " + regpath::kBuildLab, QStringLiteral("BuildLab")})
        EXPECT_THROW(shell->regRead(path), StepFailed) << path.toStdString();

    QTemporaryDir empty;
    EXPECT_THROW(makeHostRegistry(empty.path(), kIdentity)->create()->regRead(regpath::kProcessorNameString), StepFailed);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "platform/host/host_platform.h"
#include "platform/host/management_service.h"
#include "platform/platform.h"
#include "platform/registry.h"

#include "host_samples.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace qni;

namespace {

const Identity kIdentity = Identity::windowsXp("4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f");

std::vector<Adapter> fixedAdapters()
{
    std::vector<Adapter> adapters(4);
    const std::tuple<const char*, const char*, QList<Ipv4Address>> facts[] = {
        {"lo", "000000000000", {{"127.0.0.1", "255.0.0.0"}}},
        {"eth0", "000c293a4b5c", {{"192.168.1.10", "255.255.255.0"}, {"10.0.0.9", "255.0.0.0"}}},
        {"wlan0", "9cb6d0123456", {}},
        {"tun0", "", {{"10.8.0.2", "255.255.255.255"}}}};
    for (size_t i = 0; i < adapters.size(); ++i) {
        std::tie(adapters[i].name, adapters[i].mac, adapters[i].ipv4) = std::tuple(
            QString::fromLatin1(std::get<0>(facts[i])), QByteArray::fromHex(std::get<1>(facts[i])), std::get<2>(facts[i]));
        adapters[i].loopback = i == 0;
    }
    return adapters;
}

QList<Variant> column(const ManagementCollection& objects, const char* property)
{
    QList<Variant> values;
    for (const ManagementObject& o : objects)
        values.append(o.property(QString::fromLatin1(property)));
    return values;
}

TEST(HostManagement, TheFourClassesReadWhenAsked)
{
    const auto service = makeHostManagement(hostSample(QStringLiteral("x86-server")), kIdentity, fixedAdapters)->bind();
    EXPECT_EQ(column(service->instancesOf("Win32_OperatingSystem"), "serialnumber"), QList{Variant::text(kIdentity.serialNumber)});
    // 64-bit capacities as decimal text; a slot of unknown size is there, null.
    EXPECT_EQ(column(service->instancesOf("win32_physicalmemory"), "Capacity"),
              QList({Variant::text("1073741824"), Variant::text("536870912"), Variant::null(), Variant::text("2147483648")}));
    EXPECT_EQ(column(service->instancesOf("Win32_Processor"), "currentclockspeed"), QList({Variant::number(2993), Variant::number(1800)}));
    EXPECT_THROW(service->instancesOf("Win32_BIOS"), StepFailed);
    const auto adapters = service->instancesOf("Win32_NetworkAdapterConfiguration");
    EXPECT_EQ(column(adapters, "MACAddress"),
              QList({Variant::text("00:0C:29:3A:4B:5C"), Variant::text("9C:B6:D0:12:34:56"), Variant::null()}));
    EXPECT_EQ(column(service->execQuery("SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True"), "IPSubnet"),
              QList({Variant::array({"255.255.255.0", "255.0.0.0"}), Variant::array({"255.255.255.255"})}));

    QTemporaryDir dir; // an unknown clock is left out rather than null
    const auto later = makeHostManagement(dir.path(), kIdentity, fixedAdapters)->bind();
    EXPECT_FALSE(later->instancesOf("Win32_Processor").front().find("CurrentClockSpeed"));
    writeFile(dir.path(), "proc/cpuinfo", "processor\t: 0\ncpu MHz\t\t: 1000.4\n");
    EXPECT_EQ(column(later->instancesOf("Win32_Processor"), "CurrentClockSpeed"), QList{Variant::number(1000)});
}

TEST(HostRegistry, ThePresentedVersionAndTheProcessorName)
{
    const auto shell = makeHostRegistry(hostSample(QStringLiteral("x86-server")), kIdentity)->create();
    for (const auto& [path, text] : {std::pair{regpath::kBuildLab, "2600.xpsp.080413-2111"}, {regpath::kCsdVersion, "Service Pack 3"},
                                     {regpath::kCurrentBuildNumber.toUpper(), "2600"},
                                     {regpath::kProcessorNameString.toLower(), "      Intel(R) Xeon(TM) CPU 3.00GHz"}})
        EXPECT_EQ(shell->regRead(path), Variant::text(text)) << path.toStdString();
    for (const QString& path : {regpath::kBuildLab + "\\", QStringLiteral("BuildLab")})
        EXPECT_THROW(shell->regRead(path), StepFailed) << path.toStdString();
    QTemporaryDir empty;
    EXPECT_THROW(makeHostRegistry(empty.path(), kIdentity)->create()->regRead(regpath::kProcessorNameString), StepFailed);
    EXPECT_TRUE(QRegularExpression("^76487-OEM-\\d{7}-\\d{5}$").match(kIdentity.serialNumber).hasMatch());
    EXPECT_NE(Identity::windowsXp("another machine").serialNumber, kIdentity.serialNumber);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "platform/host/facts/system.h"
#include "platform/host/host_platform.h"
#include "platform/host/management_service.h"
#include "platform/registry.h"

#include "host_samples.h"

#include <QTemporaryDir>

using namespace qni;

namespace {

const HostIdentity kIdentity{"Debian GNU/Linux 12 (bookworm)", "4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f", "6.1.0-18-amd64"};

Adapter adapter(const char* name, const char* mac, const QList<Ipv4Address>& ipv4, bool loopback = false)
{
    Adapter a;
    std::tie(a.name, a.mac, a.ipv4, a.loopback) = std::tuple(QString::fromLatin1(name), QByteArray::fromHex(mac), ipv4, loopback);
    return a;
}

std::vector<Adapter> fixedAdapters()
{
    return {adapter("lo", "000000000000", {{"127.0.0.1", "255.0.0.0"}}, true),
            adapter("eth0", "000c293a4b5c", {{"192.168.1.10", "255.255.255.0"}, {"10.0.0.9", "255.0.0.0"}}),
            adapter("wlan0", "9cb6d0123456", {}), adapter("tun0", "", {{"10.8.0.2", "255.255.255.255"}})};
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
    EXPECT_EQ(column(service->instancesOf("Win32_OperatingSystem"), "serialnumber"), QList{Variant::text(kIdentity.installationId)});
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

TEST(HostRegistry, OnlyTheProcessorName)
{
    const auto shell = makeHostRegistry(hostSample(QStringLiteral("x86-server")))->create();
    EXPECT_EQ(shell->regRead(regpath::kProcessorNameString.toLower()), Variant::text("      Intel(R) Xeon(TM) CPU 3.00GHz"));
    // The Windows version is no host's: the host shows its own system.
    for (const QString& path : {regpath::kBuildLab, regpath::kCsdVersion, regpath::kProcessorNameString + "\\"})
        EXPECT_THROW(shell->regRead(path), StepFailed) << path.toStdString();
    QTemporaryDir empty;
    EXPECT_THROW(makeHostRegistry(empty.path())->create()->regRead(regpath::kProcessorNameString), StepFailed);
}

TEST(HostIdentity, OsReleaseMachineIdAndKernelEachWithTheirFallbacks)
{
    QTemporaryDir empty;
    const std::pair<QString, HostIdentity> cases[] = {
        {hostSample(QStringLiteral("x86-server")), kIdentity},
        // /usr/lib's copy; an empty pretty name; an id systemd has not yet set.
        {hostSample(QStringLiteral("minimal-system")), {"Quarn \"Test\" 1.0 (first)", "", ""}},
        {empty.path(), {"Linux", "", ""}},
    };
    for (const auto& [root, identity] : cases) {
        const HostIdentity got = readHostIdentity(root);
        EXPECT_EQ(QStringList({got.name, got.installationId, got.kernelRelease}),
                  QStringList({identity.name, identity.installationId, identity.kernelRelease})) << root.toStdString();
    }
    for (const char* id : {"4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1", "4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f0", "4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1g"}) {
        writeFile(empty.path(), "etc/machine-id", id);
        EXPECT_EQ(readHostIdentity(empty.path()).installationId, QString()) << id;
    }
}

TEST(OsRelease, ShellQuoting)
{
    const std::pair<const char*, const char*> cases[] = {
        {"X=plain", "plain"},
        {"X=\"two words\"", "two words"},
        {"X='it''s'", "its"},
        {"X='a \\ \"b\"'", "a \\ \"b\""},
        {"X=\"\\$HOME \\`x\\` \\\" \\\\ \\n\"", "$HOME `x` \" \\ \\n"},
        {"X=a\\ b\\'c", "a b'c"},
        {"  X=\"padded\"  ", "padded"},
        {"X=first\nX=last", "last"},
        {"X=word rest", "word"},
        {"X=\"open\nX=kept", "kept"},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseOsRelease(text).value("X"), value) << text;
    EXPECT_EQ(parseOsRelease("# X=comment\n1X=a\nX-Y=b\n=c\nno assignment\n").size(), 0);
}

} // namespace

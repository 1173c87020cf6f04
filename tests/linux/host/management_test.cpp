// SPDX-License-Identifier: MIT
#include "host/facts/system.h"
#include "host/host_platform.h"
#include "host/management_service.h"
#include "platform/registry.h"

#include "host_samples.h"

#include <QTemporaryDir>

using namespace qni;

namespace {

const HostIdentity kIdentity{u"Debian GNU/Linux 12 (bookworm)", u"4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f", u"6.1.0-18-amd64"};

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

std::vector<Variant> column(const ManagementCollection& objects, const char* property)
{
    std::vector<Variant> values;
    for (const ManagementObject& o : objects)
        values.push_back(o.property(fromLatin1(property)));
    return values;
}

TEST(HostManagement, TheFourClassesReadWhenAsked)
{
    const auto service = makeHostManagement(hostSample(QStringLiteral("x86-server")), kIdentity, fixedAdapters)->bind();
    EXPECT_EQ(column(service->instancesOf(u"Win32_OperatingSystem"), "serialnumber"), std::vector<Variant>{Variant::text(kIdentity.installationId)});
    // 64-bit capacities as decimal text; a slot of unknown size is there, null.
    EXPECT_EQ(column(service->instancesOf(u"win32_physicalmemory"), "Capacity"),
              std::vector<Variant>({Variant::text(u"1073741824"), Variant::text(u"536870912"), Variant::null(), Variant::text(u"2147483648")}));
    EXPECT_EQ(column(service->instancesOf(u"Win32_Processor"), "currentclockspeed"), std::vector<Variant>({Variant::number(2993), Variant::number(1800)}));
    EXPECT_THROW(service->instancesOf(u"Win32_BIOS"), StepFailed);
    const auto adapters = service->instancesOf(u"Win32_NetworkAdapterConfiguration");
    EXPECT_EQ(column(adapters, "MACAddress"),
              std::vector<Variant>({Variant::text(u"00:0C:29:3A:4B:5C"), Variant::text(u"9C:B6:D0:12:34:56"), Variant::null()}));
    EXPECT_EQ(column(service->execQuery(u"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True"), "IPSubnet"),
              std::vector<Variant>({Variant::array({u"255.255.255.0", u"255.0.0.0"}), Variant::array({u"255.255.255.255"})}));

    QTemporaryDir dir; // an unknown clock is left out rather than null
    const auto later = makeHostManagement(dir.path(), kIdentity, fixedAdapters)->bind();
    EXPECT_FALSE(later->instancesOf(u"Win32_Processor").front().find(u"CurrentClockSpeed"));
    writeFile(dir.path(), "proc/cpuinfo", "processor\t: 0\ncpu MHz\t\t: 1000.4\n");
    EXPECT_EQ(column(later->instancesOf(u"Win32_Processor"), "CurrentClockSpeed"), std::vector<Variant>{Variant::number(1000)});
}

TEST(HostRegistry, OnlyTheProcessorName)
{
    const auto shell = makeHostRegistry(hostSample(QStringLiteral("x86-server")))->create();
    EXPECT_EQ(shell->regRead(lowered(regpath::kProcessorNameString)), Variant::text(u"      Intel(R) Xeon(TM) CPU 3.00GHz"));
    // The Windows version is no host's: the host shows its own system.
    for (const Text& path : {Text(regpath::kBuildLab), Text(regpath::kCsdVersion), Text(regpath::kProcessorNameString) + u"\\"})
        EXPECT_THROW(shell->regRead(path), StepFailed) << toUtf8(path);
    QTemporaryDir empty;
    EXPECT_THROW(makeHostRegistry(empty.path())->create()->regRead(Text(regpath::kProcessorNameString)), StepFailed);
}

TEST(HostIdentity, OsReleaseMachineIdAndKernelEachWithTheirFallbacks)
{
    QTemporaryDir empty;
    const std::pair<QString, HostIdentity> cases[] = {
        {hostSample(QStringLiteral("x86-server")), kIdentity},
        // /usr/lib's copy; an empty pretty name; an id systemd has not yet set.
        {hostSample(QStringLiteral("minimal-system")), {u"Quarn \"Test\" 1.0 (first)", u"", u""}},
        {empty.path(), {u"Linux", u"", u""}},
    };
    for (const auto& [root, identity] : cases) {
        const HostIdentity got = readHostIdentity(root);
        EXPECT_EQ(std::vector<Text>({got.name, got.installationId, got.kernelRelease}),
                  std::vector<Text>({identity.name, identity.installationId, identity.kernelRelease})) << root.toStdString();
    }
    for (const char* id : {"4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1", "4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1f0", "4f1c0a7e9d2b4c5a8e3f6a7b8c9d0e1g"}) {
        writeFile(empty.path(), "etc/machine-id", id);
        EXPECT_EQ(readHostIdentity(empty.path()).installationId, u"") << id;
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

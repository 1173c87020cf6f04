// What a run tells beside the boxes: the status line, and which facts it
// could not gather and why; and that the network facts belong together.
#include "app/gather.h"
#include "app/output_collection.h"
#include "app/network_section.h"
#include "platform/network.h"
#include "platform/process_service.h"
#include "platform/registry.h"
#include "runner/read_output.h"
#include "support/fake_platform.h"

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;
using qni::test::object;
using qni::test::PlainBoxes;

namespace {

const QByteArray kLanOutput = "Ethernet adapter Local Area Connection:\r\n\r\n"
                              "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
                              "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
                              "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n";

// A command that writes one output and ends.
class OneOutput final : public ProcessService {
public:
    QByteArray output = kLanOutput;
    bool pipes = true;
    QString commandInterpreter() const override { return QStringLiteral("cmd"); }
    bool createPipe(int& r, int& w) override
    {
        if (!pipes)
            return false;
        r = 10;
        w = 11;
        return true;
    }
    bool createProcess(const QByteArray&, int, int& pid) override
    {
        left_ = output;
        pid = 7;
        return true;
    }
    bool readFile(int, char* buffer, int size, int& n) override
    {
        n = static_cast<int>(std::min<qsizetype>(size, left_.size()));
        std::memcpy(buffer, left_.constData(), n);
        left_.remove(0, n);
        return n > 0;
    }
    void closeHandle(int) override {}
    void closeProcess(int) override {}
    ProcessHandle openProcess(qint64) override { return 0; }
    bool terminateProcess(ProcessHandle, quint32) override { return false; }
    void closeProcessHandle(ProcessHandle) override {}
    int lastError() const override { return 0; }

private:
    QByteArray left_;
};

class Pages final : public Internet {
public:
    std::optional<QString> page = QStringLiteral("81.2.3.4"); // nullopt: the fetch fails
    int fetches = 0;
    QString openUrl(const QString&) override
    {
        ++fetches;
        if (!page)
            throw StepFailed("Could not resolve host.");
        return *page;
    }
};

class Address final : public Sockets {
public:
    QString address = QStringLiteral("192.168.1.10"); // empty: not available
    QString localAddress() const override
    {
        if (address.isEmpty())
            throw StepFailed("No local address.");
        return address;
    }
};

ManagementObject adapter(const Variant& addresses, const Variant& masks)
{
    return object({{QStringLiteral("IPEnabled"), Variant::boolean(true)},
                   {QStringLiteral("IPAddress"), addresses},
                   {QStringLiteral("IPSubnet"), masks}});
}

// A window's worth of boxes over fakes that all answer, run as the window
// runs a gather.
struct Gathering {
    PlainBoxes b;
    FakePlatform f = FakePlatform::windowsXp();
    std::shared_ptr<OneOutput> processes = std::make_shared<OneOutput>();
    std::shared_ptr<Pages> pages = std::make_shared<Pages>();
    std::shared_ptr<Address> sockets = std::make_shared<Address>();
    Platform platform;
    GatherSettings settings;

    Gathering()
    {
        f.management->classes[QStringLiteral("Win32_NetworkAdapterConfiguration")] = {
            adapter(Variant::array({QStringLiteral("192.168.1.10")}), Variant::array({QStringLiteral("255.255.255.0")}))};
        platform = f.platform();
        platform.processes = processes;
        platform.internet = pages;
        platform.sockets = sockets;
    }

    GatherOutcome operator()()
    {
        ReadOutput runner(platform);
        runner.setEventPump([] {});
        collectOutput(runner, b.txtOutput);
        GatherHost host{b.boxes, platform, [] {}, [](const QString&) {}, [&](const BoxFailed& failed) {
                            NetworkHost network{b.boxes, platform, runner, [](Int16) {}, settings.publicPage, failed};
                            runNetworkSection(network);
                        }};
        return runGather(host);
    }
};

} // namespace

TEST(GatherTruth, TheStatusLineSaysWhetherEveryFactWasGatheredAndTheListSaysWhyNot)
{
    const struct {
        const char* name;
        std::function<void(Gathering&)> arrange;
        QString status;
        QStringList failures;
    } cases[] = {
        {"everything answers", [](Gathering&) {}, kGathered, {}},
        {"nothing to show is no failure",
         [](Gathering& r) {
             r.f.management->classes[QStringLiteral("Win32_NetworkAdapterConfiguration")] = {};
             r.processes->output = "Windows IP Configuration\r\n";
         },
         kGathered, {}},
        {"services fail",
         [](Gathering& r) {
             r.f.management->reachable = false;
             r.f.registry->values.remove(regpath::kProcessorNameString);
             r.sockets->address.clear();
             r.processes->pipes = false;
             r.pages->page = std::nullopt;
         },
         kGatheredWithErrors,
         {"Serial Number: the management service failed (unreachable)",
          "OS Version: the management service failed (unreachable)",
          "Memory Chips: the management service failed (unreachable)",
          "CPU: the processor's name could not be read from the registry",
          "Clocked Speed: the management service failed (unreachable)",
          "Network Address: the local address could not be read (no local address)",
          "Internet Address: the page could not be fetched (could not resolve host)",
          "Subnet Mask: the network adapters could not be listed (unreachable)",
          "Mac Address: ipconfig /all could not be run (CreatePipe failed)"}},
        {"empty lists and unreadable values",
         [](Gathering& r) {
             r.f.management->classes[QStringLiteral("Win32_OperatingSystem")] = {object({})};
             r.f.management->classes[QStringLiteral("Win32_PhysicalMemory")] = {};
             r.f.management->classes[QStringLiteral("Win32_Processor")] = {
                 object({{QStringLiteral("CurrentClockSpeed"), Variant::number(2992)}}), object({})};
             r.processes->output.replace("Physical", "Hardware");
             r.pages->page = QStringLiteral("displaycopy() but no address");
         },
         kGatheredWithErrors,
         {"Serial Number: the serial number could not be read (object doesn't support this property or method: "
          "SerialNumber)",
          "OS Version: the version could not be read (object doesn't support this property or method: Version)",
          "Memory Chips: the management service lists no memory module",
          "Internet Address: the page holds no address",
          "Mac Address: ipconfig /all shows no physical address for Local Area Connection"}},
        {"no page chosen",
         [](Gathering& r) { r.settings.publicPage.clear(); },
         kGatheredWithErrors, {"Internet Address: no public-address page is set"}},
        {"not XP",
         [](Gathering& r) {
             r.f.registry->values[regpath::kBuildLab] = Variant::text(QStringLiteral("6000.vista"));
             r.f.management->reachable = false;
         },
         kNotXpMessage, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Gathering run;
        c.arrange(run);
        const GatherOutcome outcome = run();
        EXPECT_EQ(run.b.lblStatus.get(), c.status);
        EXPECT_EQ(failureList(outcome), c.failures.join(QLatin1Char('\n')));
        EXPECT_EQ(outcome.notXp, c.status == kNotXpMessage);
        for (const FactFailure& failure : outcome.failures)
            EXPECT_EQ(factInfo(failure.fact).box(run.b.boxes).get(), QString()) << factInfo(failure.fact).caption;
        EXPECT_EQ(run.pages->fetches, outcome.notXp || run.settings.publicPage.isEmpty() ? 0 : 1);
    }
}

TEST(GatherTruth, TheMaskShownIsThatOfTheAdapterHoldingTheLocalAddress)
{
    const Variant lan = Variant::array({QStringLiteral("192.168.1.10")});
    const Variant bridge = Variant::array({QStringLiteral("172.17.0.1"), QStringLiteral("fe80::1")});
    const Variant lanMask = Variant::array({QStringLiteral("255.255.255.0")});
    const Variant bridgeMasks = Variant::array({QStringLiteral("255.255.0.0"), QStringLiteral("64")});
    const struct {
        const char* name;
        ManagementCollection adapters;
        QString mask;
        bool failed;
    } cases[] = {
        {"LAN, then a bridge", {adapter(lan, lanMask), adapter(bridge, bridgeMasks)}, "255.255.255.0", false},
        {"bridge, LAN, VPN",
         {adapter(bridge, bridgeMasks), adapter(lan, lanMask),
          adapter(Variant::array({QStringLiteral("10.8.0.2")}), Variant::array({QStringLiteral("255.255.255.255")}))},
         "255.255.255.0", false},
        {"address as lone text", {adapter(Variant::text(QStringLiteral("192.168.1.10")), lanMask), adapter(bridge, bridgeMasks)},
         "255.255.255.0", false},
        {"nobody holds it: the last one's", {adapter(lanMask, lanMask), adapter(bridge, bridgeMasks)}, "255.255.0.0 64",
         false},
        {"no address listed: the last one's",
         {object({{QStringLiteral("IPEnabled"), Variant::boolean(true)}, {QStringLiteral("IPSubnet"), lanMask}}),
          object({{QStringLiteral("IPEnabled"), Variant::boolean(true)}, {QStringLiteral("IPSubnet"), bridgeMasks}})},
         "255.255.0.0 64", false},
        {"the holder's masks unreadable", {adapter(lan, Variant::null()), adapter(bridge, bridgeMasks)}, "", true},
        {"no IP-enabled adapter", {}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Gathering run;
        run.f.management->classes[QStringLiteral("Win32_NetworkAdapterConfiguration")] = c.adapters;
        const GatherOutcome outcome = run();
        EXPECT_EQ(run.b.txtMask.get(), c.mask);
        EXPECT_EQ(outcome.failed(Fact::SubnetMask), c.failed);
    }
}

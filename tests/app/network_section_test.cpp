#include "app/network_section.h"
#include "app/output_collection.h"
#include "platform/network.h"
#include "platform/process_service.h"
#include "runner/read_output.h"
#include "support/fake_platform.h"

#include <QStringList>

#include <cstring>

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;
using qni::test::object;
using qni::test::PlainBoxes;

namespace {

// A command whose output arrives in the given reads.
class ScriptedProcesses final : public qni::test::InertProcesses {
public:
    QList<QByteArray> reads;
    bool startable = true;
    int started = 0;

    QString commandInterpreter() const override { return QStringLiteral("cmd"); }
    bool createPipe(int& r, int& w) override
    {
        r = 10;
        w = 11;
        return true;
    }
    bool createProcess(const QByteArray&, int, int& pid) override
    {
        if (!startable)
            return false;
        ++started;
        next_ = 0;
        pid = 4242;
        return true;
    }
    bool readFile(int, char* buffer, int size, int& bytesRead) override
    {
        bytesRead = 0;
        if (next_ >= reads.size())
            return false;
        const QByteArray& chunk = reads[next_++];
        bytesRead = std::min<int>(size, chunk.size());
        std::memcpy(buffer, chunk.constData(), bytesRead);
        return true;
    }
    void closeHandle(int) override {}
    void closeProcess(int) override {}
    int lastError() const override { return 2; }

private:
    qsizetype next_ = 0;
};

class QueuedInternet final : public Internet {
public:
    QList<std::optional<QString>> pages; // nullopt: that fetch fails
    QStringList urls;
    QString openUrl(const QString& url) override
    {
        urls << url;
        const std::optional<QString> page = pages.isEmpty() ? std::nullopt : pages.takeFirst();
        if (!page)
            throw StepFailed("Cannot connect");
        return *page;
    }
};

class FixedSockets final : public Sockets {
public:
    QString localAddress() const override { return QStringLiteral("192.168.1.10"); }
};

struct Section {
    PlainBoxes b;
    FakePlatform f;
    std::shared_ptr<ScriptedProcesses> processes = std::make_shared<ScriptedProcesses>();
    std::shared_ptr<QueuedInternet> internet = std::make_shared<QueuedInternet>();
    Platform platform;
    std::unique_ptr<ReadOutput> runner;
    QStringList log;

    Section()
    {
        platform = f.platform();
        platform.processes = processes;
        platform.internet = internet;
        platform.sockets = std::make_shared<FixedSockets>();
        runner = std::make_unique<ReadOutput>(platform);
        runner->setEventPump([] {});
        collectOutput(*runner, b.txtOutput);
    }

    void run()
    {
        NetworkHost host{b.boxes, platform, *runner, [this](Int16 s) {
                             log << QStringLiteral("pause %1 with txtIP=%2").arg(s).arg(b.txtIP.get());
                         }};
        runNetworkSection(host);
    }
};

const QByteArray kOutput = "Ethernet adapter Local Area Connection:\r\n\r\n"
                           "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
                           "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
                           "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n";

} // namespace

TEST(NetworkSection, MacSurvivesAnyChunking)
{
    for (int size : {1, 2, 7, 63, 256}) {
        Section s;
        for (int i = 0; i < kOutput.size(); i += size)
            s.processes->reads << kOutput.mid(i, size);
        s.run();
        EXPECT_EQ(s.b.txtMac.get(), QStringLiteral("00-0C-29-4F-1A-2B")) << size;
    }
}

TEST(NetworkSection, CommandNotRunCutsWhatTheBoxHeld)
{
    Section s;
    s.processes->startable = false;
    s.b.txtOutput.set(QStringLiteral("00-0C-29-4F-1A-2B")); // the previous run's MAC text
    s.run();
    EXPECT_EQ(s.b.txtMac.get(), QString());
    EXPECT_EQ(s.b.txtOutput.get(), QString());
}

TEST(NetworkSection, CutLongerThanTheSixteenBitRangeGivesNoMac)
{
    Section s;
    QByteArray huge = kOutput;
    huge.replace("00-0C-29-4F-1A-2B", QByteArray(40000, 'A'));
    s.processes->reads << huge;
    s.run();
    EXPECT_EQ(s.b.txtMac.get(), QString());
}

TEST(NetworkSection, FailedFetchLeavesNoEarlierAddress)
{
    Section s;
    s.internet->pages = {std::nullopt, QStringLiteral("81.2.3.4"), std::nullopt};
    s.run();
    EXPECT_EQ(s.b.txtINTIP.get(), QString());
    s.run();
    EXPECT_EQ(s.b.txtINTIP.get(), QStringLiteral("81.2.3.4"));
    // The pause comes after the fetch and before the cut.
    EXPECT_EQ(s.log.last(), QStringLiteral("pause 1 with txtIP=81.2.3.4"));
    s.run();
    EXPECT_EQ(s.b.txtINTIP.get(), QString());
    EXPECT_EQ(s.b.txtIP.get(), QString());
    EXPECT_EQ(s.internet->urls.size(), 3);
    EXPECT_EQ(s.internet->urls.front(), QStringLiteral("https://api.ipify.org"));
}

TEST(NetworkSection, MasksOfTheLastEnabledAdapter)
{
    Section s;
    s.f.management->classes[QStringLiteral("Win32_NetworkAdapterConfiguration")] = {
        object({{QStringLiteral("IPEnabled"), Variant::boolean(true)},
                {QStringLiteral("IPSubnet"), Variant::array({QStringLiteral("255.0.0.0")})}}),
        object({{QStringLiteral("IPEnabled"), Variant::boolean(true)}, {QStringLiteral("IPSubnet"), Variant::null()}}),
        object({{QStringLiteral("IPEnabled"), Variant::boolean(false)},
                {QStringLiteral("IPSubnet"), Variant::array({QStringLiteral("255.255.0.0")})}}),
    };
    s.run();
    // The null one cannot be joined and leaves the first one's masks.
    EXPECT_EQ(s.b.txtMask.get(), QStringLiteral("255.0.0.0"));
    EXPECT_EQ(s.b.txtNETIP.get(), QStringLiteral("192.168.1.10"));
}

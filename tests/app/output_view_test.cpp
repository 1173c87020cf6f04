#include "app/output_collection.h"
#include "app/pause.h"

#include "base/text_slot.h"
#include "platform/platform.h"
#include "runner/read_output.h"
#include "support/qt_printers.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <vector>

using namespace qni;

namespace {

struct Collect {
    const char* name;
    std::vector<QString> chunks;
    QString expected;
};

void PrintTo(const Collect& c, std::ostream* os) { *os << c.name; }

class CollectOutput : public ::testing::TestWithParam<Collect> {};

TEST_P(CollectOutput, AppendsNormalisedChunks)
{
    PlainTextSlot txtOutput(QStringLiteral("an earlier run's output"));
    ReadOutput ReadOutput1{Platform{}};
    collectOutput(ReadOutput1, txtOutput);
    emit ReadOutput1.Starting();
    for (const QString& chunk : GetParam().chunks)
        emit ReadOutput1.GotChunk(chunk, false);
    EXPECT_EQ(txtOutput.get(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Chunks, CollectOutput, ::testing::Values(
    Collect{"crlf_kept", {"a\r\nb\r\n"}, "a\r\nb\r\n"},
    Collect{"lf_becomes_crlf", {"a\nb"}, "a\r\nb"},
    Collect{"lone_cr_dropped", {"a\rb"}, "ab"},
    Collect{"appended_at_the_end", {"x\r\n", "y"}, "x\r\ny"},
    Collect{"empty_chunk", {"ab", ""}, "ab"},
    Collect{"crlf_split_across_chunks", {"x", "a\r", "\nc"}, "xa\r\nc"},
    Collect{"blank_lines", {"\n\n"}, "\r\n\r\n"},
    Collect{"cr_cr_lf", {"\r\r\n"}, "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Records the waits and event rounds of a Pause instead of waiting.
struct PauseLog {
    std::vector<char> calls; // 'S' sleep of 100 ms, 'E' event round
    bool otherSleep = false;

    SleepFunction sleep()
    {
        return [this](std::chrono::milliseconds ms) {
            otherSleep = otherSleep || ms != std::chrono::milliseconds(100);
            calls.push_back('S');
        };
    }
    EventPump pump()
    {
        return [this] { calls.push_back('E'); };
    }
};

class PausePasses : public ::testing::TestWithParam<std::pair<Int16, int>> {};

TEST_P(PausePasses, SleepsThenProcessesEventsEachPass)
{
    const auto [seconds, passes] = GetParam();
    PauseLog log;
    Pause(seconds, log.sleep(), log.pump());
    std::vector<char> expected;
    for (int i = 0; i < passes; ++i) {
        expected.push_back('S');
        expected.push_back('E');
    }
    EXPECT_EQ(log.calls, expected);
    EXPECT_FALSE(log.otherSleep);
}

INSTANTIATE_TEST_SUITE_P(Seconds, PausePasses, ::testing::Values(
    std::pair<Int16, int>{1, 10}, std::pair<Int16, int>{0, 0}, std::pair<Int16, int>{-1, 0},
    std::pair<Int16, int>{-3276, 0}, std::pair<Int16, int>{3276, 32760}));

TEST(Pause, OverflowFailsBeforeAnyWaiting)
{
    for (const Int16 seconds : {Int16(3277), Int16(-3277), Int16(32767), Int16(-32768)}) {
        PauseLog log;
        EXPECT_THROW(Pause(seconds, log.sleep(), log.pump()), StepFailed) << seconds;
        EXPECT_TRUE(log.calls.empty()) << seconds;
    }
}

TEST(Pause, DefaultPumpHandlesPendingEvents)
{
    bool handled = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { handled = true; }, Qt::QueuedConnection);
    Pause(1, [](std::chrono::milliseconds) {});
    EXPECT_TRUE(handled);
}

} // namespace

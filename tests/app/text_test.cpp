// SPDX-License-Identifier: MIT
#include "app/extract_between.h"
#include "app/output_collection.h"
#include "app/pause.h"
#include "base/step_failed.h"
#include "support/qt_printers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qni;

TEST(ExtractBetween, Cuts)
{
    const auto xs = [](qsizetype n) { return QString(n, QLatin1Char('x')); };
    const struct {
        QString text, start, end, cut;
    } cases[] = {
        {"a[b]c", "[", "]", "b"}, {"xx('81.2.3.4')yy", "('", "')", "81.2.3.4"},
        {"(a)(b)", "(", ")", "a"},  // the first end marker after the first start marker
        {"x]y[z", "[", "]", ""},    // an end marker only before the start
        {"[]b]", "[", "]", ""},     // the end is searched from right after the start...
        {"xIP", "xI", "IP", ""},    // ...marker, not inside it
        {"Local area connection", "Local Area Connection", "IP", ""}, // exact case
        {"abc]", "[", "]", ""}, {"a[bc", "[", "]", ""},
        // Positions are 16-bit: after the start marker and of the end marker at most 32,767.
        {xs(32764) + "[b]", "[", "]", "b"}, {xs(32765) + "[b]", "[", "]", ""}, {xs(32766) + "[b]", "[", "]", ""},
        {"[" + xs(40000) + "b]", "[" + xs(40000), "]", ""}, {"[b" + xs(40000) + "]", "[", "]", ""},
        {"[b]" + xs(100000), "[", "]", "b"}, // only positions are bounded, not the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractBetween(c.text, c.start, c.end), c.cut) << c.text.left(20).toStdString();
}

TEST(OutputView, EachLineEndStoredAsOneCrLf)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"a\r\nb\r\n"}, "a\r\nb\r\n"}, {{"a\nb\n"}, "a\r\nb\r\n"}, {{"a\rb\r"}, "a\r\nb\r\n"},
        {{"\r\r\n\n\n\r"}, QString("\r\n").repeated(5)},
        {{"x", "a\r", "\nc"}, "xa\r\nc"}, // CR LF split between two chunks
        {{"a\r", "", "\n"}, "a\r\n"},  {{"a\r", "b", "\n"}, "a\r\nb\r\n"}, {{"a\r", "\r", "\n"}, "a\r\n\r\n"},
    };
    for (const auto& [chunks, stored] : cases) {
        QString box;
        bool afterCr = false;
        for (const QString& chunk : chunks)
            box += normaliseChunk(chunk, afterCr);
        EXPECT_EQ(box, stored) << chunks.join('|').toStdString();
    }
}

TEST(Pause, PassesOfA100MsSleepAndAnEventRound)
{
    // 3277 seconds overflow the 16-bit pass count: nothing is waited for.
    for (const auto& [seconds, calls] : {std::pair<Int16, QByteArray>{1, QByteArray("SE").repeated(10)}, {0, ""},
                                         {-1, ""}, {3276, QByteArray("SE").repeated(32760)}, {3277, "failed"}}) {
        QByteArray log;
        try {
            Pause(seconds, [&](std::chrono::milliseconds ms) { log += ms.count() == 100 ? 'S' : '?'; }, [&] { log += 'E'; });
        } catch (const StepFailed&) {
            log += "failed";
        }
        EXPECT_EQ(log, calls) << seconds;
    }
    bool handled = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { handled = true; }, Qt::QueuedConnection);
    Pause(1, [](std::chrono::milliseconds) {});
    EXPECT_TRUE(handled) << "the default pump handles pending events";
}

// The runner calls the pump before every 256-byte read: each call handles
// what Qt has queued, and timers and the system's input come soon after.
TEST(Pause, ThePumpHandlesQueuedEventsEveryCallAndTimersSoonAfter)
{
    int handled = 0;
    for (int call = 1; call <= 3; ++call) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++handled; }, Qt::QueuedConnection);
        processPendingEvents();
        EXPECT_EQ(handled, call);
    }
    bool fired = false;
    QTimer::singleShot(2, [&] { fired = true; });
    QElapsedTimer waited;
    for (waited.start(); !fired && waited.elapsed() < 2000;)
        processPendingEvents();
    EXPECT_TRUE(fired);
}

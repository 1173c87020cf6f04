#include "runner_support.h"

#include "app/pause.h"

#include <QHBoxLayout>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <stdexcept>

namespace qni::test {
namespace {

// Runs through the real bundled interpreter.
class RealRun : public ::testing::Test {
protected:
    RealRun() { ro.setEventPump(processPendingEvents); } // as the window runs it
    void SetUp() override { qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd"); }
    void TearDown() override { qunsetenv("ComSpec"); }

    QStringList run(const QString& command)
    {
        ro.SetCommand(command);
        ro.ProcessCommand();
        return events.log;
    }
    qint64 firstLine() const { return events.output().section('\n', 0, 0).toLongLong(); }

    // The descriptors open once a first run is over and its process reaped.
    int settledDescriptors()
    {
        run("echo $$");
        const qint64 pid = firstLine();
        EXPECT_TRUE(eventually([pid] { return reaped(pid); }));
        events.log.clear();
        events.chunks.clear();
        return openDescriptors();
    }

    ReadOutput ro{hostRunnerPlatform()};
    EventLog events{ro};
};

struct OutputCase {
    const char* name;
    const char* command;
    QString output;
};
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class Output : public RealRun, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(Output, ArrivesInChunksOfAtMost256BytesEndedByAnEmptyLastChunk)
{
    const QStringList log = run(QString::fromUtf8(GetParam().command));
    EXPECT_EQ(events.output(), GetParam().output);
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log.front(), "S");
    EXPECT_EQ(log.mid(log.size() - 2), QStringList({"L ", "D"}));
    for (const QString& token : log.mid(1, log.size() - 3))
        EXPECT_TRUE(token.startsWith("C ")) << token.toStdString();
    for (const QString& chunk : events.chunks)
        EXPECT_LE(chunk.toUtf8().size(), 256);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Output,
    ::testing::Values(OutputCase{"Nothing", "true", ""},
                      OutputCase{"SixHundredBytesAtOnce", "printf '%0600d' 0", QString(600, u'0')},
                      OutputCase{"StandardErrorInOrder", "echo out1; echo err1 >&2; echo out2", "out1\nerr1\nout2\n"},
                      OutputCase{"NoInput", "cat; echo done", "done\n"},
                      OutputCase{"ChildKeepsTheWriteEnd", "(sleep 0.3; echo late) & echo early", "early\nlate\n"},
                      OutputCase{"QuotesWrappedOnceMore", "echo \"a  b\"", "a  b\n"},
                      // byte 256 is the middle of a two-byte character
                      OutputCase{"CharacterSplitBetweenReads", "printf '%0255d\\303\\251' 0", QString(255, u'0') + u'\u00e9'},
                      // the output ends inside a character: its bytes still show
                      OutputCase{"EndsAfterALeadByte", "printf 'abc\\342'", u"abc\ufffd"_qs},
                      OutputCase{"EndsTwoBytesIntoACharacter", "printf 'abc\\342\\202'", u"abc\ufffd\ufffd"_qs}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReentryCase {
    const char* name;
    bool cancel; // else ProcessCommand
    const char* at; // the token whose handler acts
    QStringList log; // %P: the process id
};
void PrintTo(const ReentryCase& c, std::ostream* os) { *os << c.name; }

class Reentry : public RealRun, public ::testing::WithParamInterface<ReentryCase> {};

TEST_P(Reentry, FromAHandler)
{
    const ReentryCase& c = GetParam();
    events.hook = [&](const QString& token) {
        if (token.startsWith(QLatin1String(c.at)))
            c.cancel ? ro.CancelProcess() : ro.ProcessCommand();
    };
    run("echo $$"); // the interpreter execs the shell: $$ is the run's process
    EXPECT_EQ(events.log, QStringList(c.log).replaceInStrings("%P", QString::number(firstLine())));
}

const QString kBusy = "E1201 Currently processing a command!";
const QString kCannotClose = "E1203 Cannot close process id: %P";

INSTANTIATE_TEST_SUITE_P(
    Handlers, Reentry,
    ::testing::Values(ReentryCase{"CancelFromStartingIsLost", true, "S", {"S", "C %P", "L ", "D"}},
                      ReentryCase{"CancelFromChunkStopsReading", true, "C ", {"S", "C %P", kCannotClose}},
                      ReentryCase{"CancelFromLastChunk", true, "L ", {"S", "C %P", "L ", "D", kCannotClose}},
                      ReentryCase{"CancelFromComplete", true, "D", {"S", "C %P", "L ", "D", kCannotClose}},
                      ReentryCase{"RunFromStarting", false, "S", {"S", kBusy, "C %P", "L ", "D"}},
                      ReentryCase{"RunFromChunk", false, "C ", {"S", "C %P", kBusy, "L ", "D"}},
                      ReentryCase{"RunFromLastChunk", false, "L ", {"S", "C %P", "L ", kBusy, "D"}},
                      ReentryCase{"RunFromComplete", false, "D", {"S", "C %P", "L ", "D", kBusy}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealRun, RefusalsComeOnlyAsErrors)
{
    ro.ProcessCommand();
    ro.CancelProcess();
    EXPECT_EQ(events.log, QStringList({"E1200 Invalid Command.", "E1202 Not currently processing a command!"}));
    events.log.clear();

    // During a run an empty command is refused as empty, and a new command
    // waits for the next run.
    events.hook = [this](const QString& token) {
        if (token == "S") {
            ro.SetCommand("");
            ro.ProcessCommand();
            ro.SetCommand("echo second");
        }
    };
    EXPECT_EQ(run("echo first"), QStringList({"S", "E1200 Invalid Command.", "C first", "L ", "D"}));
    EXPECT_EQ(ro.command(), "echo second");
}

TEST_F(RealRun, EventsPendingAtTheFirstReadAreHandledBeforeIt)
{
    events.hook = [this](const QString& token) {
        if (token == "S")
            QMetaObject::invokeMethod(&ro, [this] { ro.CancelProcess(); }, Qt::QueuedConnection);
    };
    const QStringList log = run("echo never read");
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[1].startsWith("E1203 Cannot close process id: ")) << log[1].toStdString();
}

TEST_F(RealRun, ACancelledCommandIsReapedWhenItEnds)
{
    events.hook = [this](const QString& token) {
        if (token.startsWith("C "))
            ro.CancelProcess();
    };
    run("echo $$; sleep 1");
    const qint64 pid = firstLine();
    ASSERT_GT(pid, 0);
    EXPECT_FALSE(reaped(pid)); // still sleeping: the run did not wait for it
    EXPECT_TRUE(eventually([pid] { return reaped(pid); }));
}

TEST_F(RealRun, TheCommandInheritsOnlyItsOutputAndNullInput)
{
    const int leaked = ::open("/dev/null", O_RDONLY); // deliberately without O_CLOEXEC
    run("readlink /proc/self/fd/0; ls /proc/self/fd");
    ::close(leaked);
    EXPECT_EQ(events.output(), "/dev/null\n0\n1\n2\n3\n"); // 3: the directory ls reads
}

TEST_F(RealRun, AThrowingHandlerStillEndsTheRun)
{
    const int before = settledDescriptors();
    events.hook = [](const QString& token) {
        if (token.startsWith("C "))
            throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(run("echo $$; sleep 0.2; echo more"), std::runtime_error);
    const qint64 pid = firstLine();
    EXPECT_TRUE(eventually([pid] { return reaped(pid); })); // the closed pipe ends it
    EXPECT_TRUE(eventually([&] { return openDescriptors() == before; }));

    events.hook = nullptr;
    events.log.clear();
    ro.CancelProcess(); // no longer processing
    EXPECT_EQ(run("echo again"), QStringList({"E1202 Not currently processing a command!", "S", "C again", "L ", "D"}));
}

TEST_F(RealRun, FailedStartsCarryTheSystemsErrorNumber)
{
    QTemporaryFile notExecutable;
    ASSERT_TRUE(notExecutable.open());
    const std::pair<QByteArray, int> comSpecs[] = {
        {"/nonexistent/qni-cmd", ENOENT}, {notExecutable.fileName().toLocal8Bit(), EACCES}, {"", ENOENT}};
    for (const auto& [comSpec, error] : comSpecs) {
        qputenv("ComSpec", comSpec);
        events.log.clear();
        EXPECT_EQ(run("echo x"), QStringList({QStringLiteral("E%1 CreateProcess failed.").arg(error)})) << comSpec.constData();
    }

    // No descriptor number left below the limit: the pipe cannot be made.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    const rlimit full{rlim_t(lowestFree), limit.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &full);
    events.log.clear();
    run("echo x");
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(events.log, QStringList({QStringLiteral("E%1 CreatePipe failed.").arg(EMFILE)}));
}

TEST_F(RealRun, TheInterpreterReceivesTheCommandQuotedOnceMore)
{
    qputenv("ComSpec", "/bin/echo"); // prints the one argument it is given
    run(R"(echo "hi")");
    EXPECT_EQ(events.output(), R"( /c "echo "hi"")" "\n");
}

TEST_F(RealRun, AThousandRunsLeaveNoDescriptorNorZombie)
{
    const int before = settledDescriptors();
    for (int i = 0; i < 1000; ++i)
        run("echo x");
    EXPECT_EQ(events.log.size(), 4 * 1000);
    EXPECT_TRUE(eventually([] { return zombieChildren() == 0; }));
    EXPECT_TRUE(eventually([&] { return openDescriptors() == before; })) << openDescriptors() << " != " << before;
}

TEST(ReadOutputFace, KeepsItsSizeAndStaysHidden)
{
    QWidget container;
    auto* layout = new QHBoxLayout(&container);
    ReadOutput ro(Platform{}, &container);
    layout->addWidget(&ro, 1);
    container.resize(400, 300);
    container.show();
    ro.resize(300, 200);
    ro.setGeometry(5, 5, 10, 10);
    ro.show();
    EXPECT_FALSE(ro.isVisible());
    EXPECT_EQ(ro.size(), QSize(65, 49));
    layout->removeWidget(&ro);
    ro.setParent(nullptr);

    EXPECT_EQ(QImage(QStringLiteral(":/runner/console.png")).size(), QSize(32, 32));
    QImage face(ro.size(), QImage::Format_ARGB32);
    face.fill(Qt::transparent);
    ro.render(&face, {}, {}, QWidget::DrawChildren);
    EXPECT_EQ(face.pixel(32, 8), qRgb(0, 0, 128)); // the title bar, stretched
    EXPECT_EQ(qAlpha(face.pixel(0, 0)), 0);        // the icon's transparent corner
}

} // namespace
} // namespace qni::test

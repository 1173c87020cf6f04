// SPDX-License-Identifier: MIT
// The host's pipe and process calls: POSIX pipes, posix_spawn and kill(2).
#include "host/host_platform.h"
#include "platform/process_service.h"

#include "host/command_line_split.h"
#include "host/qt_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qni {

QList<CommandLineSplit> commandLineCandidates(const QByteArray& line)
{
    if (line.startsWith('"')) {
        const qsizetype close = line.indexOf('"', 1);
        if (close < 0)
            return {{line.mid(1), {}}};
        return {{line.mid(1, close - 1), line.mid(close + 1)}};
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (line.isEmpty() || blank(line.front()))
        return {{{}, line}};
    QList<CommandLineSplit> readings;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (blank(line[i]) && !blank(line[i - 1]))
            readings.append({line.left(i), line.mid(i)});
    }
    if (!blank(line.back()))
        readings.append({line, {}});
    return readings;
}

namespace {

bool existsAsFile(const QByteArray& path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The file a program name designates: a name with a slash as it stands, else
// the first executable match on PATH (a match that is not executable when
// there is no other, so that the start reports why). Empty when none exists.
QByteArray resolveProgram(const QByteArray& name)
{
    if (name.isEmpty())
        return {};
    if (name.contains('/'))
        return existsAsFile(name) ? name : QByteArray();
    QByteArray path = qgetenv("PATH");
    if (path.isNull())
        path = "/bin:/usr/bin";
    QByteArray fallback;
    for (const QByteArray& dir : path.split(':')) {
        const QByteArray candidate = (dir.isEmpty() ? QByteArray(".") : dir) + '/' + name;
        if (!existsAsFile(candidate))
            continue;
        if (::access(candidate.constData(), X_OK) == 0)
            return candidate;
        if (fallback.isEmpty())
            fallback = candidate;
    }
    return fallback;
}

bool tryReap(pid_t pid)
{
    pid_t r;
    do
        r = ::waitpid(pid, nullptr, WNOHANG);
    while (r < 0 && errno == EINTR);
    // ECHILD: someone else reaped it, or SIGCHLD is ignored.
    return r == pid || (r < 0 && errno == ECHILD);
}

int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// Reaps children whose process handles are closed. A child that has not
// ended yet (a cancelled command, or one whose exit trails the end of its
// output by a moment) is watched by one background thread, which reaps it as
// soon as it ends: the caller never waits, and no SIGCHLD handler is taken
// from the rest of the program. The watch uses a pidfd per child, falling back
// to polling where the kernel has none.
class Reaper {
public:
    // Never destroyed: children still running at exit pass to init.
    static Reaper& instance()
    {
        static Reaper* reaper = new Reaper;
        return *reaper;
    }

    void release(pid_t pid)
    {
        if (pid <= 0 || tryReap(pid))
            return;
        std::lock_guard lock(mutex_);
        pending_.push_back({pid, openPidFd(pid)});
        if (!started_) {
            try {
                std::thread(&Reaper::run, this).detach();
                started_ = true;
            } catch (const std::system_error&) {
                // No thread now: the child waits for the next release.
            }
        }
        const std::uint64_t one = 1;
        if (wake_ >= 0)
            (void)!::write(wake_, &one, sizeof one);
    }

private:
    struct Child {
        pid_t pid;
        int pidfd;
    };

    Reaper() : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

    void run()
    {
        std::vector<pollfd> fds;
        for (;;) {
            bool timed = wake_ < 0;
            {
                std::lock_guard lock(mutex_);
                fds.assign(1, pollfd{wake_, POLLIN, 0});
                for (const Child& c : pending_) {
                    if (c.pidfd >= 0)
                        fds.push_back(pollfd{c.pidfd, POLLIN, 0});
                    else
                        timed = true;
                }
            }
            ::poll(fds.data(), fds.size(), timed ? 50 : -1);
            std::uint64_t count;
            if (wake_ >= 0)
                (void)!::read(wake_, &count, sizeof count);

            std::lock_guard lock(mutex_);
            std::erase_if(pending_, [](const Child& c) {
                if (!tryReap(c.pid))
                    return false;
                if (c.pidfd >= 0)
                    ::close(c.pidfd);
                return true;
            });
        }
    }

    std::mutex mutex_;
    std::vector<Child> pending_;
    bool started_ = false;
    const int wake_;
};

// Every command runs in a process group of its own, and every group still
// holding a process is ended with the program: on exit, quick_exit, and the
// signals that end a program by default (SIGKILL cannot be caught). A slot
// holds a group's id or 0; the signal handler only reads the slots.
class CommandGroups {
public:
    // Once, before the first command starts: a signal that came first would
    // end the program the default way and leave the command behind.
    static void install()
    {
        static const bool installed = [] {
            std::atexit(endAll);
            std::at_quick_exit(endAll);
            for (const int signal : kEndingSignals) {
                struct sigaction now {};
                // A signal the program was started to ignore stays ignored.
                if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler != SIG_DFL)
                    continue;
                struct sigaction ending {};
                ending.sa_handler = [](int caught) {
                    // A command being started is in its slot a moment later.
                    while (starting_.load())
                        ;
                    endAll();
                    ::raise(caught); // the default action, once this returns
                };
                sigemptyset(&ending.sa_mask);
                ending.sa_flags = SA_RESETHAND;
                ::sigaction(signal, &ending, nullptr);
            }
            return true;
        }();
        (void)installed;
    }

    // Starts a command through spawn() and watches its group. The ending
    // signals wait on this thread meanwhile, and a handler on another thread
    // waits for the slot.
    template <class Spawn>
    static int start(pid_t& pid, Spawn spawn)
    {
        sigset_t ending, before;
        sigemptyset(&ending);
        for (const int signal : kEndingSignals)
            sigaddset(&ending, signal);
        ::pthread_sigmask(SIG_BLOCK, &ending, &before);
        starting_ = true;
        const int rc = spawn(pid);
        if (rc == 0)
            add(pid);
        starting_ = false;
        ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
        return rc;
    }

    static void endAll() noexcept
    {
        const int saved = errno;
        for (auto& slot : slots_) {
            if (const pid_t group = slot.exchange(0); group > 0)
                ::kill(-group, SIGKILL);
        }
        errno = saved;
    }

private:
    static void add(pid_t group)
    {
        prune();
        for (auto& slot : slots_) {
            pid_t free = 0;
            if (slot.compare_exchange_strong(free, group))
                return;
        }
        // Every slot holds a live group: this one is not watched.
    }

    // A group whose processes have all gone may not be signalled again: its
    // number may come back as another program's.
    static void prune()
    {
        for (auto& slot : slots_) {
            pid_t group = slot.load();
            if (group > 0 && ::kill(-group, 0) != 0 && errno == ESRCH)
                slot.compare_exchange_strong(group, 0);
        }
    }

    static constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
    static inline std::atomic<pid_t> slots_[64]{};
    static inline std::atomic<bool> starting_{false};
};

// The system's code page through Qt's decoder, which tells how many bytes it
// holds back as the start of a character.
class SystemOutputDecoder final : public OutputDecoder, private QStringDecoder {
public:
    SystemOutputDecoder() : QStringDecoder(QStringConverter::System) {}
    Text decode(const char* bytes, int count) override { return fromQt((*this)(QByteArrayView(bytes, count))); }
    int heldBytes() const override { return int(state.remainingChars); }
};

class HostProcessService final : public ProcessService {
public:
    HostProcessService() { CommandGroups::install(); }

    Text commandInterpreter() const override
    {
        if (qEnvironmentVariableIsSet("ComSpec"))
            return fromQt(qEnvironmentVariable("ComSpec"));
        return fromQt(bundledProgram(QStringLiteral("qni-cmd")));
    }

    bool createPipe(PipeHandle& readEnd, PipeHandle& writeEnd) override
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            lastError_ = errno;
            return false;
        }
        readEnd = PipeHandle(fds[0]);
        writeEnd = PipeHandle(fds[1]);
        return true;
    }

    bool createProcess(const Text& text, PipeHandle outputHandle, int& processId) override
    {
        QStringEncoder toSystem(QStringConverter::System);
        const QByteArray commandLine = toSystem(toQt(text));
        const int output = fd(outputHandle);
        // A quoted name that goes on after its closing quote held a quote
        // itself: it cannot be told from the rest of the line.
        const QList<CommandLineSplit> readings = commandLineCandidates(commandLine);
        if (commandLine.startsWith('"') && !readings.front().rest.isEmpty() && readings.front().rest.front() != ' ' &&
            readings.front().rest.front() != '\t') {
            lastError_ = EINVAL;
            return false;
        }
        CommandLineSplit chosen;
        QByteArray path;
        for (const CommandLineSplit& reading : readings) {
            path = resolveProgram(reading.program);
            if (!path.isEmpty()) {
                chosen = reading;
                break;
            }
        }
        if (path.isEmpty()) {
            lastError_ = ENOENT;
            return false;
        }

        // dup2 clears close-on-exec on the copies; stdin is replaced after
        // the copies so that any output descriptor number works.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        // Descriptors that other parts of the program (or libraries) opened
        // without close-on-exec must not reach the command either.
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &all);
        posix_spawnattr_setpgroup(&attr, 0);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

        QByteArray program = chosen.program;
        QByteArray rest = chosen.rest;
        char* argv[] = {program.data(), rest.isEmpty() ? nullptr : rest.data(), nullptr};
        pid_t pid = 0;
        const int rc = CommandGroups::start(
            pid, [&](pid_t& started) { return ::posix_spawn(&started, path.constData(), &actions, &attr, argv, environ); });
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            lastError_ = rc;
            return false;
        }
        processId = pid;
        return true;
    }

    // The pipe is drained in large blocks and handed out in reads of at most
    // `size` bytes: the caller still sees a blocking read of a few bytes, at
    // a fraction of the system calls.
    bool readFile(PipeHandle pipe, char* buffer, int size, int& bytesRead) override
    {
        const int handle = fd(pipe);
        ReadAhead& ahead = readAhead_[handle];
        if (ahead.next == ahead.bytes.size()) {
            ahead.bytes.resize(kReadAhead);
            ahead.next = 0;
            ssize_t n;
            do
                n = ::read(handle, ahead.bytes.data(), kReadAhead);
            while (n < 0 && errno == EINTR);
            if (n <= 0) {
                ahead.bytes.clear();
                bytesRead = 0;
                lastError_ = n == 0 ? EPIPE : errno;
                return false;
            }
            ahead.bytes.resize(n);
        }
        const qsizetype taken = std::min<qsizetype>(std::max(size, 0), ahead.bytes.size() - ahead.next);
        std::memcpy(buffer, ahead.bytes.constData() + ahead.next, static_cast<size_t>(taken));
        ahead.next += taken;
        bytesRead = static_cast<int>(taken);
        return true;
    }

    bool outputReady(PipeHandle pipe) override
    {
        const int handle = fd(pipe);
        const auto buffered = readAhead_.find(handle);
        if (buffered != readAhead_.end() && buffered->second.next < buffered->second.bytes.size())
            return true;
        // Data, the end of the output and a bad descriptor all make the next
        // read return at once; poll() would pass over a negative one.
        if (handle < 0)
            return true;
        pollfd p{handle, POLLIN, 0};
        int ready;
        do
            ready = ::poll(&p, 1, 0);
        while (ready < 0 && errno == EINTR);
        return ready != 0;
    }

    std::unique_ptr<OutputDecoder> outputDecoder() const override { return makeSystemOutputDecoder(); }

    void closeHandle(PipeHandle pipe) override
    {
        const int handle = fd(pipe);
        readAhead_.erase(handle);
        if (handle >= 0)
            ::close(handle);
    }

    void closeProcess(int processId) override { Reaper::instance().release(processId); }

    ProcessHandle openProcess(std::int64_t processId) override
    {
        // kill(2) reads 0 and negative ids as process groups: never pass one.
        if (processId <= 0 || processId > INT_MAX)
            return ProcessHandle::None;
        return ::kill(static_cast<pid_t>(processId), 0) == 0 ? ProcessHandle(processId) : ProcessHandle::None;
    }

    // SIGKILL: the exit code cannot be chosen by the caller on this host.
    bool terminateProcess(ProcessHandle process, std::uint32_t) override
    {
        const auto pid = static_cast<std::intptr_t>(process);
        return pid > 0 && pid <= INT_MAX && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
    }

    // The handle is the process id: there is nothing to give back.
    void closeProcessHandle(ProcessHandle) override {}

    int lastError() const override { return lastError_; }

private:
    static int fd(PipeHandle pipe) { return static_cast<int>(static_cast<std::intptr_t>(pipe)); }

    static constexpr qsizetype kReadAhead = 64 * 1024; // a pipe's default capacity

    struct ReadAhead {
        QByteArray bytes;
        qsizetype next = 0;
    };

    std::unordered_map<int, ReadAhead> readAhead_;
    int lastError_ = 0;
};

} // namespace

std::unique_ptr<OutputDecoder> makeSystemOutputDecoder()
{
    return std::make_unique<SystemOutputDecoder>();
}

std::shared_ptr<ProcessService> makeHostProcessService()
{
    return std::make_shared<HostProcessService>();
}

} // namespace qni

// SPDX-License-Identifier: MIT
#include "described/described_processes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace qni {

namespace {

constexpr int kFileNotFound = 2; // ERROR_FILE_NOT_FOUND and ENOENT alike

// The length of an unfinished UTF-8 sequence at the end of bytes, 0 when
// the end is complete or the sequence is ill-formed already.
std::size_t unfinishedTail(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto lead = static_cast<unsigned char>(bytes[n - back]);
        if (lead >= 0x80 && lead <= 0xBF)
            continue;
        const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        if (length <= back)
            return 0;
        if (back >= 2) {
            // The second byte's narrower bounds rule out overlong forms and
            // surrogates, as fromUtf8 does.
            const auto second = static_cast<unsigned char>(bytes[n - back + 1]);
            const unsigned char lo = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char hi = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
            if (second < lo || second > hi)
                return 0;
        }
        return back;
    }
    return 0;
}

class Utf8OutputDecoder final : public OutputDecoder {
public:
    Text decode(const char* bytes, int count) override
    {
        held_.append(bytes, std::size_t(std::max(count, 0)));
        const std::size_t keep = unfinishedTail(held_);
        const Text text = fromUtf8(std::string_view(held_).substr(0, held_.size() - keep));
        held_.erase(0, held_.size() - keep);
        return text;
    }
    int heldBytes() const override { return int(held_.size()); }

private:
    std::string held_;
};

bool isBlankByte(char16_t c) { return c == u' ' || c == u'\t'; }

// The program and the command of `"<program>" /c <command>`, the command
// with its first and last quote taken off as the interpreter takes them off.
bool splitInterpreterLine(const Text& line, Text& program, Text& command)
{
    if (line.empty() || line.front() != u'"')
        return false;
    const std::size_t close = line.find(u'"', 1);
    if (close == Text::npos)
        return false;
    program = line.substr(1, close - 1);
    std::size_t i = close + 1;
    if (i < line.size() && !isBlankByte(line[i]))
        return false;
    while (i < line.size() && isBlankByte(line[i]))
        ++i;
    if (i + 1 >= line.size() || line[i] != u'/' || (line[i + 1] != u'c' && line[i + 1] != u'C'))
        return false;
    i += 2;
    while (i < line.size() && isBlankByte(line[i]))
        ++i;
    command = line.substr(i);
    if (!command.empty() && command.front() == u'"') {
        command.erase(0, 1);
        const std::size_t last = command.rfind(u'"');
        if (last != Text::npos)
            command.erase(last, 1);
    }
    return true;
}

class DescribedProcesses final : public ProcessService {
public:
    DescribedProcesses(ValueMap<Text> commands, std::shared_ptr<ProcessService> base)
        : commands_(std::move(commands)), base_(std::move(base))
    {
    }

    Text commandInterpreter() const override { return base_ ? base_->commandInterpreter() : Text(u"cmd.exe"); }

    // With a base the pipe is the system's: the same pipe serves a recorded
    // command and a real one, and which it is is known only at the start.
    bool createPipe(PipeHandle& readEnd, PipeHandle& writeEnd) override
    {
        if (base_) {
            ownError_ = false;
            if (!base_->createPipe(readEnd, writeEnd))
                return false;
        } else {
            readEnd = PipeHandle(nextPipe_++);
            writeEnd = PipeHandle(nextPipe_++);
            ownPipes_.insert(readEnd);
            ownPipes_.insert(writeEnd);
        }
        readEndOf_[writeEnd] = readEnd;
        return true;
    }

    bool createProcess(const Text& commandLine, PipeHandle output, int& processId) override
    {
        Text program, command;
        const auto readEnd = readEndOf_.find(output);
        if (readEnd != readEndOf_.end() && splitInterpreterLine(commandLine, program, command)
            && equalNoCase(program, commandInterpreter())) {
            if (const auto recorded = commands_.find(command); recorded != commands_.end()) {
                served_[readEnd->second] = Served{toUtf8(recorded->second), 0};
                processId = nextProcess_--;
                processes_.insert(processId);
                lastStartDescribed_ = true;
                return true;
            }
        }
        lastStartDescribed_ = false;
        if (!base_) {
            ownError_ = true;
            lastError_ = kFileNotFound;
            return false;
        }
        ownError_ = false;
        return base_->createProcess(commandLine, output, processId);
    }

    bool readFile(PipeHandle handle, char* buffer, int size, int& bytesRead) override
    {
        bytesRead = 0;
        if (const auto served = served_.find(handle); served != served_.end()) {
            Served& s = served->second;
            const std::size_t n = std::min(std::size_t(std::max(size, 0)), s.bytes.size() - s.next);
            std::memcpy(buffer, s.bytes.data() + s.next, n);
            s.next += n;
            bytesRead = int(n);
            return n > 0;
        }
        if (!base_ || ownPipes_.count(handle))
            return false;
        ownError_ = false;
        return base_->readFile(handle, buffer, size, bytesRead);
    }

    bool outputReady(PipeHandle handle) override
    {
        if (served_.count(handle) || !base_ || ownPipes_.count(handle))
            return true;
        return base_->outputReady(handle);
    }

    std::unique_ptr<OutputDecoder> outputDecoder() const override
    {
        if (lastStartDescribed_ || !base_)
            return makeUtf8OutputDecoder();
        return base_->outputDecoder();
    }

    void closeHandle(PipeHandle handle) override
    {
        served_.erase(handle);
        readEndOf_.erase(handle);
        if (ownPipes_.erase(handle) == 0 && base_)
            base_->closeHandle(handle);
    }

    void closeProcess(int processId) override
    {
        if (processes_.erase(processId) == 0 && base_)
            base_->closeProcess(processId);
    }

    // A recorded command has no process to end.
    ProcessHandle openProcess(std::int64_t processId) override
    {
        if (processId < 0 || !base_)
            return ProcessHandle::None;
        ownError_ = false;
        return base_->openProcess(processId);
    }

    bool terminateProcess(ProcessHandle process, std::uint32_t exitCode) override
    {
        ownError_ = false;
        return base_ && base_->terminateProcess(process, exitCode);
    }

    void closeProcessHandle(ProcessHandle process) override
    {
        if (base_)
            base_->closeProcessHandle(process);
    }

    int lastError() const override { return ownError_ || !base_ ? lastError_ : base_->lastError(); }

private:
    struct Served {
        std::string bytes;
        std::size_t next = 0;
    };

    ValueMap<Text> commands_;
    std::shared_ptr<ProcessService> base_;
    std::map<PipeHandle, PipeHandle> readEndOf_; // by write end
    std::map<PipeHandle, Served> served_;        // by read end
    std::set<PipeHandle> ownPipes_;
    std::set<int> processes_;
    std::intptr_t nextPipe_ = 1;
    // Below every id a system gives, so that none is taken for the other's.
    int nextProcess_ = -1;
    bool lastStartDescribed_ = false;
    bool ownError_ = false;
    int lastError_ = 0;
};

} // namespace

std::unique_ptr<OutputDecoder> makeUtf8OutputDecoder() { return std::make_unique<Utf8OutputDecoder>(); }

std::shared_ptr<ProcessService> makeDescribedProcesses(ValueMap<Text> commands, std::shared_ptr<ProcessService> base)
{
    return std::make_shared<DescribedProcesses>(std::move(commands), std::move(base));
}

} // namespace qni

// SPDX-License-Identifier: MIT
#include "described/described_processes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qni;

namespace {

const ValueMap<Text> kCommands = {
    {u"ipconfig /all", u"\r\nWindows IP Configuration\r\n\r\n        Host Name . . . : quarn-xp\r\n"},
    {u"echo Grüße", u"Grüße € \U0001D11E\r\n"},
    {u"silent", u""},
};

// What the runner makes of a command: start, reads of `size` bytes while
// output is ready, one decoder for the run.
struct Outcome {
    bool started = false;
    Text text;
    int held = -1;
};

Outcome run(ProcessService& processes, const Text& commandLine, int size)
{
    Outcome r;
    PipeHandle readEnd, writeEnd;
    if (!processes.createPipe(readEnd, writeEnd))
        return r;
    int id = 0;
    r.started = processes.createProcess(commandLine, writeEnd, id);
    processes.closeHandle(writeEnd);
    if (r.started) {
        const auto decoder = processes.outputDecoder();
        std::vector<char> buffer(static_cast<std::size_t>(size));
        for (int bytes = 0; processes.outputReady(readEnd);) {
            const bool more = processes.readFile(readEnd, buffer.data(), size, bytes);
            r.text += decoder->decode(buffer.data(), bytes);
            if (!more)
                break;
        }
        r.held = decoder->heldBytes();
        processes.closeProcess(id);
    }
    processes.closeHandle(readEnd);
    return r;
}

Text line(const Text& command) { return u"\"cmd.exe\" /c \"" + command + u'"'; }

} // namespace

TEST(DescribedProcesses, ServesTheRecordedTextWholeWhateverTheReadSize)
{
    const auto processes = makeDescribedProcesses(kCommands, nullptr);
    for (const int size : {1, 3, 256}) {
        for (const auto& [command, output] : kCommands) {
            const Outcome r = run(*processes, line(command), size);
            EXPECT_TRUE(r.started);
            EXPECT_EQ(r.text, output) << toUtf8(command) << " in reads of " << size;
            EXPECT_EQ(r.held, 0);
        }
    }
}

TEST(DescribedProcesses, WithoutASystemServiceOtherLinesDoNotStart)
{
    const auto processes = makeDescribedProcesses(kCommands, nullptr);
    const Text lines[] = {
        line(u"ipconfig"),                           // not recorded
        line(u"IPCONFIG /all"),                      // keys are exact
        u"\"other.exe\" /c \"ipconfig /all\"",       // not the interpreter
        u"\"cmd.exe\" /k \"ipconfig /all\"",         // not /c
        u"cmd.exe /c \"ipconfig /all\"",             // the runner quotes the interpreter
    };
    for (const Text& l : lines) {
        EXPECT_FALSE(run(*processes, l, 256).started) << toUtf8(l);
        EXPECT_EQ(processes->lastError(), 2);
    }
    // The quotes go as the interpreter takes them off.
    EXPECT_EQ(run(*processes, u"\"CMD.EXE\"  /C ipconfig /all", 256).text, kCommands.at(u"ipconfig /all"));
}

TEST(DescribedProcesses, WhatItDoesNotRecordGoesToTheSystem)
{
    // The system's service stands in as one that records other commands.
    const auto system = makeDescribedProcesses({{u"ver", u"real"}}, nullptr);
    const auto processes = makeDescribedProcesses(kCommands, system);
    EXPECT_EQ(run(*processes, line(u"silent"), 5).text, u"");
    EXPECT_EQ(run(*processes, line(u"ver"), 5).text, u"real");
    EXPECT_EQ(run(*processes, line(u"ipconfig /all"), 5).text, kCommands.at(u"ipconfig /all"));
    EXPECT_FALSE(run(*processes, line(u"dir"), 5).started);
    EXPECT_EQ(processes->lastError(), 2);
    // A recorded command's id is no process of the system's.
    EXPECT_EQ(processes->openProcess(-1), ProcessHandle::None);
}

TEST(Utf8OutputDecoder, HoldsBackOnlyASequenceTheNextReadMayFinish)
{
    // Two reads, the text of each, and the bytes held after the first.
    const std::tuple<std::string, std::string, Text, Text, int> cases[] = {
        {"a\xE2\x82", "\xAC", u"a", u"€", 2},
        {"\xF0\x9D\x84", "\x9E!", u"", u"\U0001D11E!", 3},
        {"\xE0\x80", "x", u"\uFFFD\uFFFD", u"x", 0},  // overlong: bad at once
        {"\xED\xA0", "\x80", u"\uFFFD\uFFFD", u"\uFFFD", 0}, // a surrogate
        {"\xC3", "x", u"", u"\uFFFDx", 1},            // never finished
        {"\xBF", "", u"\uFFFD", u"", 0},
    };
    for (const auto& [first, second, text1, text2, held] : cases) {
        const auto decoder = makeUtf8OutputDecoder();
        EXPECT_EQ(decoder->decode(first.data(), int(first.size())), text1) << first;
        EXPECT_EQ(decoder->heldBytes(), held) << first;
        EXPECT_EQ(decoder->decode(second.data(), int(second.size())), text2) << first;
        EXPECT_EQ(decoder->heldBytes(), 0) << first;
    }
}

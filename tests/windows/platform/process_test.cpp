// SPDX-License-Identifier: MIT
#include "base/event_pump.h"
#include "platform/platform.h"
#include "platform/process_service.h"
#include "runner/read_output.h"
#include "windows_services.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace qni;

TEST(CodePageOutputDecoder, ADoubleByteCharacterSplitBetweenReadsComesOutWhole)
{
    // "日本" in code page 932 is 93 FA 96 7B: 0x7B and 0xFA read as lead bytes
    // only at the start of a character. Reads, then the text of each and the
    // bytes held after it.
    const std::tuple<unsigned, std::vector<std::string>, std::vector<Text>, std::vector<int>> cases[] = {
        {932, {"\x93\xFA\x96", "\x7B"}, {u"日", u"本"}, {1, 0}},
        {932, {"\x93", "\xFA\x96\x7B!"}, {u"", u"日本!"}, {1, 0}},
        {932, {"\x93\xFA", "!"}, {u"日", u"!"}, {0, 0}}, // ends on a trail byte of a lead byte's value
        {932, {"a\x82\xA0\x93"}, {u"aあ"}, {1}},
        {932, {"\xB1\xB2"}, {u"ｱｲ"}, {0}}, // single-byte katakana
        {437, {"\x93\xFA", "\x96"}, {u"ô·", u"û"}, {0, 0}},
    };
    for (const auto& [codePage, reads, texts, held] : cases) {
        const auto decoder = makeCodePageOutputDecoder(codePage);
        for (std::size_t i = 0; i < reads.size(); ++i) {
            EXPECT_EQ(decoder->decode(reads[i].data(), int(reads[i].size())), texts[i]) << codePage << " read " << i;
            EXPECT_EQ(decoder->heldBytes(), held[i]) << codePage << " read " << i;
        }
    }
}

namespace {

class SleepingPump final : public EventPump {
public:
    void processEvents() override {}
    void waitUntil(const std::function<bool()>& done) override
    {
        while (!done())
            Sleep(2);
    }
};

} // namespace

TEST(WindowsProcessService, TheRunnerReadsACommandThroughComSpecElseTheSystemsCmd)
{
    Platform platform;
    platform.processes = makeWindowsProcessService();
    platform.windows = makeWindowsWindowService();
    const Text set = platform.processes->commandInterpreter();
    wchar_t system[MAX_PATH];
    const Text cmd = Text(reinterpret_cast<const char16_t*>(system), GetSystemDirectoryW(system, MAX_PATH)) + u"\\cmd.exe";
    const Text missing = u"C:\\windows\\system32\\no such cmd.exe";
    // The command, ComSpec (null: unset), the interpreter, and what the runner hears.
    const std::tuple<Text, const wchar_t*, Text, Text> cases[] = {
        {u"echo hello", nullptr, cmd, u"hello\r\n|last|complete"},
        {u"echo hello", L"", cmd, u"hello\r\n|last|complete"},
        {u"echo hello", reinterpret_cast<const wchar_t*>(missing.c_str()), missing, u"error CreateProcess failed. 2"},
        {u"echo \u0100\U0001F600", nullptr, cmd, u"error CreateProcess failed. 1113"}, // no ANSI form
    };
    for (const auto& [command, comSpec, interpreter, heard] : cases) {
        SetEnvironmentVariableW(L"ComSpec", comSpec);
        EXPECT_EQ(platform.processes->commandInterpreter(), interpreter);
        ReadOutput runner(platform);
        SleepingPump pump;
        runner.setEventPump(&pump);
        Text events;
        runner.GotChunk.connect([&](const Text& chunk, bool last) { events += chunk + (last ? u"|last" : u""); });
        runner.Complete.connect([&] { events += u"|complete"; });
        runner.Error.connect([&](const Text& message, int& code) { events += u"error " + message + u' ' + decimal(code); });
        runner.SetCommand(command);
        runner.ProcessCommand();
        EXPECT_EQ(toUtf8(events), toUtf8(heard));
    }
    SetEnvironmentVariableW(L"ComSpec", reinterpret_cast<const wchar_t*>(set.c_str()));
}

TEST(WindowsProcessService, WhatItStartedEndsWithIt)
{
    auto processes = makeWindowsProcessService();
    PipeHandle read, write;
    int id = 0;
    ASSERT_TRUE(processes->createPipe(read, write));
    ASSERT_TRUE(processes->createProcess(u"\"" + processes->commandInterpreter() + u"\" /c ping -n 60 127.0.0.1", write, id));
    processes->closeHandle(write);
    const HANDLE started = OpenProcess(SYNCHRONIZE, FALSE, DWORD(id));
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForSingleObject(started, 300), DWORD(WAIT_TIMEOUT));
    processes->closeHandle(read);
    processes.reset(); // as when the program ends
    EXPECT_EQ(WaitForSingleObject(started, 5000), DWORD(WAIT_OBJECT_0));
    CloseHandle(started);
}

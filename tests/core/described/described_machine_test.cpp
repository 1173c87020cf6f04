// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "described/described_services.h"
#include "described/machine_description.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace qni;
namespace fs = std::filesystem;

namespace {

template <class Read>
std::string faultOf(Read read)
{
    try {
        read();
        return "accepted";
    } catch (const DescriptionError& e) {
        return e.what();
    }
}

TEST(MachineDescription, AFaultyDescriptionIsNamedWithItsFaultOnOneLine)
{
    const std::pair<std::string, const char*> cases[] = {
        {"", "line 1, column 1: "},
        {"{\n  \"registry\": {,}\n}", "line 2, column "},
        {std::string(100000, '['), "too deeply nested"},
        {"[1, 2]", "expected a JSON object at the top level"},
        {"{\"public\\nPage\": \"x\"}", "unknown member \"public?Page\""},
        {"{\"registry\": []}", "\"registry\": expected an object"},
        {"{\"registry\": {\"A\": true}}", "\"registry\".\"A\": expected a string, number, null or array of strings"},
        {"{\"registry\": {\"HKLM\\\\A\": \"1\", \"hklm\\\\a\": \"2\"}}", "named twice"},
        {"{\"management\": {\"C\": {}}}", "\"management\".\"C\": expected an array of instances"},
        {"{\"management\": {\"C\": [3]}}", "\"management\".\"C\"[0]: expected an object"},
        {"{\"management\": {\"C\": [{\"P\": [1]}]}}", "\"C\"[0].\"P\": an array must hold only strings"},
        {"{\"management\": {\"C\": [{\"P\": {}}]}}", "expected a string, number, boolean, null or array"},
        {"{\"management\": {\"C\": [{\"P\": 1, \"p\": 2}]}}", "named twice"},
        // Equal names anywhere, even where the last would do.
        {"{\"registry\": {}, \"registry\": null}", ": \"registry\": given twice"},
        {"{\"management\": {\"C\": [{}, {\"P\": [\"a\"], \"P\": 1}]}}", ": \"management\".\"C\"[1].\"P\": given twice"},
        {"{\"commands\": {\"dir\": \"a\", \"dir\": \"a\"}}", ": \"commands\".\"dir\": given twice"},
        {"{\"commands\": null}", "\"commands\": must not be null"},
        {"{\"localAddress\": 10}", "\"localAddress\": expected a string"},
        {"{\"localAddress\": \"\t\t\",,}", "line 1, column 23: "}, // in the file's bytes, raw tabs and all
    };
    for (const auto& [json, fault] : cases) {
        const std::string message = faultOf([&] { parseMachineDescription(json, u"bad\nname.json"); });
        EXPECT_EQ(message.rfind("bad?name.json: ", 0), 0u) << message;
        EXPECT_NE(message.find(fault), std::string::npos) << message;
    }
    for (const std::string& json : {std::string("\xef\xbb\xbf{}"), std::string("{\"publicPage\": \"a\0b\"}", 21)})
        EXPECT_NO_THROW(parseMachineDescription(json, u"m.json"));
}

TEST(MachineDescription, OnlyARegularFileOfBoundedSizeIsRead)
{
    const fs::path dir = fs::temp_directory_path() / ("qni-described-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(dir);
    const fs::path large = dir / "large.json";
    std::ofstream(large, std::ios::binary) << std::string(65 << 20, ' ') << "{}";
    std::vector<std::pair<fs::path, std::string>> cases = {
        {dir / "absent.json", ": no such file"}, {dir, ": is a directory, not a machine description"},
        {large, ": larger than"}};
#ifndef _WIN32
    // Nothing is waited for or read without end.
    ASSERT_TRUE(::mkfifo((dir / "fifo.json").c_str(), 0600) == 0 && ::symlink("/dev/zero", (dir / "zero.json").c_str()) == 0);
    cases.insert(cases.end(), {{dir / "fifo.json", ": is not a regular file"}, {dir / "zero.json", ": is not a regular file"}});
#endif
    for (const auto& [file, fault] : cases)
        EXPECT_EQ(faultOf([&] { loadMachineDescription(file); }).rfind(reinterpret_cast<const char*>(file.u8string().c_str()) + fault, 0), 0u)
            << file;
    fs::remove_all(dir);
}

struct NoSockets final : Sockets {
    Text localAddress() const override { throw StepFailed("none"); }
};

TEST(MachineDescription, GivenMembersReplaceTheHostsServicesAndAbsentOnesStay)
{
    Platform host;
    host.processes = std::make_shared<test::ScriptedProcesses>();
    host.sockets = std::make_shared<NoSockets>();
    host.hostIdentity = HostIdentity{u"Linux", u"", u""};
    const Platform p = applyDescription(parseMachineDescription(R"({"registry": {"HKLM\\B": "xp"},
        "management": {"Win32_PhysicalMemory": []}, "publicPage": null})", u"m.json"), host);
    EXPECT_EQ(p.registry->create()->regRead(u"hklm\\b"), Variant::text(u"xp")); // any case
    EXPECT_TRUE(p.management->bind()->instancesOf(u"win32_physicalmemory").empty());
    EXPECT_THROW(p.management->bind()->instancesOf(u"Win32_Processor"), StepFailed); // not listed
    test::RoundPump events;
    EXPECT_THROW(p.internet->openUrl(u"https://example.invalid/", events), StepFailed);
    EXPECT_TRUE(p.sockets == host.sockets && p.processes == host.processes);
    // A described registry or management service describes a Windows, whose
    // own rule then holds; other members leave the host's system.
    EXPECT_TRUE(host.hostIdentity && !p.hostIdentity);
    for (const auto& [json, kept] : {std::pair{R"({"management": null})", false}, {R"({"localAddress": "1.2.3.4"})", true}})
        EXPECT_EQ(bool(applyDescription(parseMachineDescription(json, u"m.json"), host).hostIdentity), kept) << json;
}

} // namespace

// SPDX-License-Identifier: MIT
#include "app/qt_event_pump.h"
#include "base/step_failed.h"
#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"
#include "platform/host/host_platform.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "support/files.h"
#include "support/qt_printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace qni;

namespace {

std::string faultOf(const QString& path)
{
    try {
        loadMachineDescription(path);
        return "accepted";
    } catch (const DescriptionError& e) {
        return e.what();
    }
}

TEST(MachineDescription, AFaultyFileIsNamedWithItsFaultOnOneLine)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "line 1, column 1: "},
        {"{\n  \"registry\": {,}\n}", "line 2, column "},
        {QByteArray("[").repeated(100000), "too deeply nested"},
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
        {QByteArray(65 << 20, ' ') + "{}", "larger than"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad\nname.json"));
    for (const auto& [json, fault] : cases) {
        const std::string message = faultOf(test::writeFile(path, json));
        EXPECT_EQ(message.rfind(dir.filePath(QStringLiteral("bad?name.json: ")).toStdString(), 0), 0u) << message;
        EXPECT_NE(message.find(fault), std::string::npos) << message;
    }
    // Nothing is waited for or read without end.
    const QString fifo = dir.filePath(QStringLiteral("fifo.json")), device = dir.filePath(QStringLiteral("zero.json"));
    ASSERT_TRUE(::mkfifo(QFile::encodeName(fifo), 0600) == 0 && ::symlink("/dev/zero", QFile::encodeName(device)) == 0);
    for (const auto& [file, fault] : {std::pair{dir.filePath(QStringLiteral("absent.json")), ": no such file"},
                                      {dir.path(), ": is a directory, not a machine description"},
                                      {fifo, ": is not a regular file"}, {device, ": is not a regular file"}})
        EXPECT_EQ(faultOf(file), file.toStdString() + fault);
    for (const QByteArray& json : {QByteArray("\xef\xbb\xbf{}"), QByteArray("{\"publicPage\": \"a\0b\"}", 21)})
        EXPECT_NO_THROW(parseMachineDescription(json, QStringLiteral("m.json")));
}

TEST(MachineDescription, GivenMembersReplaceTheHostsServicesAndAbsentOnesStay)
{
    const Platform host = hostPlatform(QStringLiteral("/nonexistent"));
    const Platform p = applyDescription(parseMachineDescription(R"({"registry": {"HKLM\\B": "xp"},
        "management": {"Win32_PhysicalMemory": []}, "publicPage": null})", QStringLiteral("m.json")), host);
    EXPECT_EQ(p.registry->create()->regRead(QStringLiteral("hklm\\b")), Variant::text(QStringLiteral("xp"))); // any case
    EXPECT_TRUE(p.management->bind()->instancesOf(QStringLiteral("win32_physicalmemory")).isEmpty());
    EXPECT_THROW(p.management->bind()->instancesOf(QStringLiteral("Win32_Processor")), StepFailed); // not listed
    QtEventPump events;
    EXPECT_THROW(p.internet->openUrl(QStringLiteral("https://example.invalid/"), events), StepFailed);
    EXPECT_TRUE(p.sockets == host.sockets && p.shell == host.shell && p.processes == host.processes);
    // A described registry or management service describes a Windows, whose
    // own rule then holds; other members leave the host's system.
    EXPECT_TRUE(host.hostIdentity && !p.hostIdentity);
    for (const auto& [json, kept] : {std::pair{R"({"management": null})", false}, {R"({"localAddress": "1.2.3.4"})", true}})
        EXPECT_EQ(bool(applyDescription(parseMachineDescription(json, QStringLiteral("m.json")), host).hostIdentity), kept) << json;
}

} // namespace

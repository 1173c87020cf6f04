#include "base/step_failed.h"
#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"
#include "platform/management.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/wql.h"
#include "support/qt_printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qni;

namespace {

std::string faultOf(const QByteArray& json)
{
    try {
        parseMachineDescription(json, QStringLiteral("m.json"));
    } catch (const DescriptionError& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(MachineDescription, BadFilesNameTheFileAndTheFault)
{
    const struct {
        const char* json;
        const char* fault;
    } cases[] = {
        {"", "m.json: line 1, column 1: "},
        {"{\n  \"registry\": {,}\n}", "m.json: line 2, column "},
        {"[1, 2]", "m.json: expected a JSON object at the top level"},
        {"{\"registy\": {}}", "m.json: unknown member \"registy\""},
        {"{\"registry\": []}", "m.json: \"registry\": expected an object"},
        {"{\"registry\": {\"A\": true}}", "m.json: \"registry\".\"A\": expected a string, number, null or array"},
        {"{\"registry\": {\"A\": [1]}}", "m.json: \"registry\".\"A\": an array must hold only strings"},
        {"{\"management\": {\"Win32_Processor\": {}}}",
         "m.json: \"management\".\"Win32_Processor\": expected an array of instances"},
        {"{\"management\": {\"Win32_Processor\": [3]}}",
         "m.json: \"management\".\"Win32_Processor\"[0]: expected an object"},
        {"{\"management\": {\"C\": [{\"P\": {\"x\": 1}}]}}", "m.json: \"management\".\"C\"[0].\"P\": expected a string"},
        {"{\"commands\": null}", "m.json: \"commands\": must not be null"},
        {"{\"commands\": {\"ipconfig /all\": 5}}", "m.json: \"commands\".\"ipconfig /all\": expected a string"},
        {"{\"localAddress\": 10}", "m.json: \"localAddress\": expected a string"},
        {"{\"publicPage\": []}", "m.json: \"publicPage\": expected a string"},
        {"\xff\xfe{}", "m.json: line 1, column "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(faultOf(c.json).rfind(c.fault, 0), 0u) << c.json << " -> " << faultOf(c.json);
}

TEST(MachineDescription, MissingUnreadableAndDirectoryFiles)
{
    QTemporaryDir dir;
    const auto faultOfFile = [](const QString& path) -> std::string {
        try {
            loadMachineDescription(path);
        } catch (const DescriptionError& e) {
            return e.what();
        }
        return "accepted";
    };
    const QString missing = dir.filePath(QStringLiteral("missing.json"));
    EXPECT_EQ(faultOfFile(missing), (missing + QStringLiteral(": no such file")).toStdString());
    EXPECT_NE(faultOfFile(dir.path()).find("is a directory"), std::string::npos);
}

TEST(MachineDescription, GivenMembersReplaceTheHostsAndAbsentOnesStay)
{
    const MachineDescription d = parseMachineDescription(R"({
      "registry": {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\BuildLab": "2600.xpsp",
                   "HKLM\\N": 7, "HKLM\\M": ["a", "b"], "HKLM\\Z": null},
      "management": {"Win32_NetworkAdapterConfiguration": [
          {"IPEnabled": true, "IPSubnet": ["255.255.255.0", "255.255.0.0"]},
          {"IPEnabled": false, "IPSubnet": null}],
        "Win32_PhysicalMemory": []},
      "localAddress": null,
      "publicPage": "81.2.3.4"
    })", QStringLiteral("m.json"));

    Platform base;
    base.versionRecord = {5, 1, 2};
    const Platform p = applyDescription(d, base);

    auto shell = p.registry->create();
    EXPECT_EQ(shell->regRead(regpath::kBuildLab).toText(), QStringLiteral("2600.xpsp"));
    EXPECT_EQ(shell->regRead(QStringLiteral("hklm\\n")).toText(QLocale::c()), QStringLiteral("7"));
    EXPECT_EQ(shell->regRead(QStringLiteral("HKLM\\M")).kind(), Variant::Kind::Array);
    EXPECT_TRUE(shell->regRead(QStringLiteral("HKLM\\Z")).isNull());
    EXPECT_THROW(shell->regRead(QStringLiteral("HKLM\\absent")), StepFailed);

    auto wmi = p.management->bind();
    EXPECT_TRUE(wmi->instancesOf(QStringLiteral("win32_physicalmemory")).isEmpty());
    EXPECT_THROW(wmi->instancesOf(QStringLiteral("Win32_Processor")), StepFailed);
    const ManagementCollection enabled = wmi->execQuery(
        QStringLiteral("SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True"));
    ASSERT_EQ(enabled.size(), 1);
    EXPECT_EQ(enabled.front().property(QStringLiteral("ipsubnet")).join(QStringLiteral(" ")),
              QStringLiteral("255.255.255.0 255.255.0.0"));

    EXPECT_THROW(p.sockets->localAddress(), StepFailed);
    EXPECT_EQ(p.internet->openUrl(QStringLiteral("https://example.invalid/")), QStringLiteral("81.2.3.4"));
    EXPECT_EQ(p.versionRecord.major, 5);
    EXPECT_EQ(p.shell, nullptr); // absent member: the base's service stays
}

TEST(MachineDescription, NullServicesCannotBeReached)
{
    const Platform p = applyDescription(
        parseMachineDescription(R"({"registry": null, "management": null, "publicPage": null})", QStringLiteral("m")),
        Platform{});
    EXPECT_THROW(p.registry->create(), StepFailed);
    EXPECT_THROW(p.management->bind(), StepFailed);
    EXPECT_THROW(p.internet->openUrl(QStringLiteral("x")), StepFailed);
}

TEST(Wql, TheQuerySubset)
{
    const struct {
        const char* text;
        bool valid;
        const char* className;
        const char* where;
    } cases[] = {
        {"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True", true,
         "Win32_NetworkAdapterConfiguration", "IPEnabled"},
        {"select * from Win32_Processor", true, "Win32_Processor", ""},
        {"  SELECT   *   FROM  C  WHERE  P='x y'  ", true, "C", "P"},
        {"SELECT * FROM C WHERE P = 42", true, "C", "P"},
        {"SELECT Name FROM C", false, "", ""},
        {"SELECT * FROM", false, "", ""},
        {"SELECT * FROM C WHERE", false, "", ""},
        {"SELECT * FROM C WHERE P = ", false, "", ""},
        {"SELECT * FROM C WHERE P = 'unterminated", false, "", ""},
        {"SELECT * FROM C WHERE P > 1", false, "", ""},
        {"DELETE FROM C", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (!c.valid) {
            EXPECT_THROW(WqlQuery::parse(QString::fromUtf8(c.text)), StepFailed);
            continue;
        }
        const WqlQuery q = WqlQuery::parse(QString::fromUtf8(c.text));
        EXPECT_EQ(q.className, QLatin1String(c.className));
        EXPECT_EQ(q.whereProperty, QLatin1String(c.where));
    }
}

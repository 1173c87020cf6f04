// SPDX-License-Identifier: MIT
#include "platform/management.h"
#include "windows_services.h"

#include <gtest/gtest.h>

using namespace qni;

namespace {

// Whether every instance has the properties, with values of the kinds given
// (any of them).
void expectProperties(const ManagementCollection& instances,
                      const std::vector<std::pair<Text, std::vector<Variant::Kind>>>& properties)
{
    ASSERT_FALSE(instances.empty());
    for (const ManagementObject& instance : instances) {
        for (const auto& [name, kinds] : properties) {
            const std::optional<Variant> value = instance.find(name);
            ASSERT_TRUE(value) << toUtf8(name);
            EXPECT_NE(std::find(kinds.begin(), kinds.end(), value->kind()), kinds.end()) << toUtf8(name);
        }
    }
}

} // namespace

TEST(WindowsManagement, TheClassesTheProgramReadsAndTheReasonOfARefusal)
{
    using K = Variant::Kind;
    const auto service = makeWindowsManagement()->bind();
    const ManagementCollection systems = service->instancesOf(u"Win32_OperatingSystem");
    expectProperties(systems, {{u"Version", {K::Text}}, {u"SerialNumber", {K::Text}}});
    EXPECT_EQ(countOf(systems.front().property(u"version").toText(), u'.'), 2u);
    // A 64-bit size comes as text.
    expectProperties(service->instancesOf(u"Win32_PhysicalMemory"), {{u"Capacity", {K::Text, K::Number}}});
    EXPECT_GT(service->instancesOf(u"Win32_PhysicalMemory").front().property(u"capacity").toDouble(), 1e6);
    expectProperties(service->instancesOf(u"Win32_Processor"), {{u"CurrentClockSpeed", {K::Number}}});
    // Adapters without an address have null lists.
    const ManagementCollection adapters =
        service->execQuery(u"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True");
    expectProperties(adapters, {{u"IPEnabled", {K::Boolean}},
                                {u"IPAddress", {K::Array, K::Null}},
                                {u"IPSubnet", {K::Array, K::Null}},
                                {u"MACAddress", {K::Text, K::Null}}});
    for (const ManagementObject& adapter : adapters)
        EXPECT_EQ(adapter.property(u"IPEnabled"), Variant::boolean(true));
    try {
        service->execQuery(u"SELECT FROM");
        ADD_FAILURE() << "a query without a class ran";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Invalid query, error 0x80041017");
    }
    // Each bind stands on its own.
    EXPECT_FALSE(makeWindowsManagement()->bind()->instancesOf(u"Win32_OperatingSystem").empty());
}

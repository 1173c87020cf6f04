#include "platform/host/sockets_host.h"

#include "platform/network.h"
#include "platform/host/host_platform.h"
#include "support/qt_printers.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qni;

namespace {

Adapter adapter(int index, QList<Ipv4Address> ipv4, bool up = true, bool defaultRoute = false)
{
    Adapter a;
    a.name = QStringLiteral("eth%1").arg(index);
    a.index = index;
    a.ipv4 = std::move(ipv4);
    a.up = up;
    a.ethernet = true;
    a.defaultRoute = defaultRoute;
    return a;
}

Adapter loopback()
{
    Adapter a;
    a.name = QStringLiteral("lo");
    a.index = 1;
    a.ipv4 = {{QStringLiteral("127.0.0.1"), QStringLiteral("255.0.0.0")}};
    a.up = true;
    a.loopback = true;
    return a;
}

const Ipv4Address lan{QStringLiteral("192.168.1.10"), QStringLiteral("255.255.255.0")};
const Ipv4Address lan2{QStringLiteral("192.168.1.11"), QStringLiteral("255.255.255.0")};
const Ipv4Address docker{QStringLiteral("172.17.0.1"), QStringLiteral("255.255.0.0")};
const Ipv4Address stale{QStringLiteral("10.0.0.5"), QStringLiteral("255.0.0.0")};

struct Machine {
    const char* name;
    std::vector<Adapter> adapters;
    QString expected;
};

void PrintTo(const Machine& m, std::ostream* os) { *os << m.name; }

class LocalAddress : public ::testing::TestWithParam<Machine> {};

TEST_P(LocalAddress, Chosen)
{
    EXPECT_EQ(chooseLocalAddress(GetParam().adapters), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Machines, LocalAddress, ::testing::Values(
    Machine{"default_route_wins_over_lower_index", {loopback(), adapter(2, {docker}), adapter(3, {lan}, true, true)},
            "192.168.1.10"},
    Machine{"first_address_of_the_default_route", {adapter(2, {lan, lan2}, true, true)}, "192.168.1.10"},
    Machine{"default_route_without_ipv4_is_passed_over", {adapter(2, {}, true, true), adapter(3, {docker})},
            "172.17.0.1"},
    Machine{"no_default_route_first_up_adapter", {loopback(), adapter(2, {stale}, false), adapter(3, {docker})},
            "172.17.0.1"},
    Machine{"only_a_down_adapter_has_an_address", {loopback(), adapter(2, {stale}, false)}, "10.0.0.5"},
    Machine{"only_loopback", {loopback()}, "127.0.0.1"},
    Machine{"no_adapters", {}, "127.0.0.1"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(LocalAddress, HostAnswersWithADottedIpv4Address)
{
    const QString address = makeHostSockets(QStringLiteral("/"))->localAddress();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$")).match(address).hasMatch()) << address.toStdString();
}

// SPDX-License-Identifier: MIT
// ipconfig: the host's adapters in the Windows XP layout.
#include "ipconfig_layout.h"

#include "host/facts/name_servers.h"
#include "host/facts/routes.h"

#include <QSysInfo>

#include <cstdio>
#include <exception>

namespace {

void write(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

const QString kUsage = QStringLiteral(
    "\r\nUSAGE:\r\n"
    "    ipconfig [/? | /all]\r\n"
    "\r\n"
    "where\r\n"
    "    Options:\r\n"
    "       /?           Display this help message\r\n"
    "       /all         Display full configuration information.\r\n"
    "\r\n"
    "The default is to display only the IP address, subnet mask and\r\n"
    "default gateway for each adapter bound to TCP/IP.\r\n");

} // namespace

int main(int argc, char** argv)
{
    using namespace qni::ipconfig;

    // The command interpreter hands over the rest of its command line as one
    // argument; a shell may split it.
    QString options;
    for (int i = 1; i < argc; ++i)
        options += QString::fromLocal8Bit(argv[i]) + QLatin1Char(' ');
    options = options.trimmed().toLower();

    Layout layout = Layout::Short;
    if (options == QLatin1String("/all") || options == QLatin1String("-all")) {
        layout = Layout::All;
    } else if (options == QLatin1String("/?") || options == QLatin1String("-?")) {
        write(kUsage);
        return 0;
    } else if (!options.isEmpty()) {
        write(QStringLiteral("\r\nError: unrecognized or incomplete command line.\r\n") + kUsage);
        return 1;
    }

    const QString root = QStringLiteral("/");
    HostInfo host;
    host.hostName = QSysInfo::machineHostName();
    host.ipRouting = qni::readIpForwarding(root);
    host.gateways = qni::defaultGateways(qni::readDefaultRoutes(root));
    host.dnsServers = qni::readNameServers(root);

    std::vector<qni::Adapter> adapters;
    try {
        adapters = qni::readHostAdapters(root);
    } catch (const std::exception&) {
        // Nothing to list: the header alone, as on a machine without adapters.
    }
    write(formatIpconfig(adapters, host, layout));
    return 0;
}

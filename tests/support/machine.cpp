// SPDX-License-Identifier: MIT
#include "support/machine.h"

#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"
#include "platform/host/host_platform.h"

#include <QFile>
#include <QJsonDocument>

namespace qni::test {

Platform describedPlatform(const QJsonObject& description)
{
    static const QByteArray kNothing = R"({"registry": null, "management": null, "localAddress": null,
                                          "publicPage": null})";
    Platform base = hostPlatform(QStringLiteral("/nonexistent"));
    base = applyDescription(parseMachineDescription(kNothing, QStringLiteral("nothing.json")), std::move(base));
    return applyDescription(parseMachineDescription(QJsonDocument(description).toJson(), QStringLiteral("test.json")),
                            std::move(base));
}

Platform machinePlatform(const char* file, const QJsonObject& change)
{
    QFile f(QStringLiteral(QNI_TEST_DATA "/machines/") + QLatin1String(file));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("no machine ") + file);
    QJsonObject machine = QJsonDocument::fromJson(f.readAll()).object();
    for (auto it = change.begin(); it != change.end(); ++it)
        machine[it.key()] = it.value();
    return describedPlatform(machine);
}

} // namespace qni::test

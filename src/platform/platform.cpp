#include "platform/platform.h"

#include "platform/described/machine_description.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qni {

Platform hostPlatform(const QString& root)
{
    const Identity identity = Identity::host(root);
    Platform p;
    p.management = makeHostManagement(root, identity);
    p.registry = makeHostRegistry(root, identity);
    p.processes = makeHostProcessService();
    p.windows = makeHostWindowService();
    p.versionRecord = identity.versionRecord;
    p.sockets = makeHostSockets(root);
    p.internet = makeHostInternet();
    p.shell = makeHostShell();
    return p;
}

Platform platformFromEnvironment()
{
    Platform p = hostPlatform();
    const QString path = qEnvironmentVariable("QNI_MACHINE");
    if (!path.isEmpty())
        p = applyDescription(loadMachineDescription(path), std::move(p));
    return p;
}

QString bundledProgram(const QString& name)
{
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty()) // no application object (small tools)
        dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QStringList candidates = {
        QDir(dir).filePath(name),
        QDir(dir).filePath(QStringLiteral("../libexec/quarn-network-information/") + name),
    };
    for (const QString& c : candidates) {
        const QFileInfo fi(c);
        if (fi.isFile() && fi.isExecutable())
            return fi.absoluteFilePath();
    }
    return candidates.front();
}

} // namespace qni

#include "platform/identity.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace qni {

QString xpSerialFromMachineId(const QByteArray& machineId)
{
    const QByteArray digest = QCryptographicHash::hash(machineId.trimmed(), QCryptographicHash::Sha256);
    // Twelve decimal digits from the digest: 7 for the third group, 5 for the fourth.
    QString digits;
    for (int i = 0; digits.size() < 12; ++i)
        digits += QChar(u'0' + static_cast<unsigned char>(digest[i % digest.size()]) % 10);
    return QStringLiteral("76487-OEM-%1-%2").arg(digits.left(7), digits.mid(7, 5));
}

Identity Identity::windowsXp(const QByteArray& machineId)
{
    Identity id;
    id.buildLab = QStringLiteral("2600.xpsp.080413-2111");
    id.csdVersion = QStringLiteral("Service Pack 3");
    id.currentBuildNumber = QStringLiteral("2600");
    id.version = QStringLiteral("5.1.2600");
    id.serialNumber = xpSerialFromMachineId(machineId);
    id.versionRecord = {5, 1, 2};
    return id;
}

Identity Identity::host(const QString& root)
{
    const QDir dir(root);
    QByteArray machineId;
    for (const char* path : {"etc/machine-id", "var/lib/dbus/machine-id"}) {
        QFile f(dir.filePath(QString::fromLatin1(path)));
        if (f.open(QIODevice::ReadOnly)) {
            machineId = f.read(256).trimmed();
            if (!machineId.isEmpty())
                break;
        }
    }
    if (machineId.isEmpty()) {
        // No machine id: the host name still keeps the number stable here.
        QFile f(dir.filePath(QStringLiteral("etc/hostname")));
        if (f.open(QIODevice::ReadOnly))
            machineId = f.read(256).trimmed();
    }
    return windowsXp(machineId);
}

} // namespace qni

// SPDX-License-Identifier: MIT
#include "platform/identity.h"

#include <QCryptographicHash>

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

} // namespace qni

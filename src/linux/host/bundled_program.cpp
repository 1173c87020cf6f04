// SPDX-License-Identifier: MIT
// Kept apart from the service factories so the small bundled tools can link
// it without pulling in curl, X11 and Qt Gui.
#include "host/host_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qni {

QString bundledProgram(const QString& name)
{
    const QString dir = QCoreApplication::instance()
                            ? QCoreApplication::applicationDirPath()
                            : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
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

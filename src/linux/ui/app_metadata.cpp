// SPDX-License-Identifier: MIT
#include "ui/app_metadata.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QVariant>

// The resources live in a static library: nothing would pull them into the
// executable unless something names their initialiser.
static void initUiResources() { Q_INIT_RESOURCE(ui); }

namespace qni {

void applyApplicationMetadata(QCoreApplication& app)
{
    initUiResources();
    QCoreApplication::setApplicationName(kApplicationName);
    QCoreApplication::setApplicationVersion(kApplicationVersion);
    QCoreApplication::setOrganizationName(kMakerName);
    // Qt has no slot for a description; kept beside name and version for
    // whoever asks the application object.
    app.setProperty("applicationDescription", kApplicationDescription);
    // No display name: Qt would append it to every window's caption.
    if (qobject_cast<QGuiApplication*>(&app))
        QGuiApplication::setDesktopFileName(kDesktopId);
}

QIcon applicationIcon()
{
    initUiResources();
    return QIcon(QStringLiteral(":/icons/app.png"));
}

} // namespace qni

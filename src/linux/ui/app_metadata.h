// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QString>

class QCoreApplication;

namespace qni {

// What the program says about itself. The desktop entry and the AppStream
// metadata in packaging/ repeat these; a test keeps them in step.
inline const QString kApplicationName = QStringLiteral("Quarn Network Information");
inline const QString kApplicationVersion = QStringLiteral("1.00");
inline const QString kApplicationDescription = QStringLiteral(
    "Quarn Network Information is a computer and network information tool that gathers the operating "
    "system's name, serial number and version, the installed memory chips, the processor's name and clock "
    "speed, the local and public Internet addresses, the subnet masks and the MAC address.");
inline const QString kMakerName = QStringLiteral("Korvane");
// The maker's page: the About box's link shows it and opens it.
inline const QString kMakerAddress = QStringLiteral("https://www.quarn.example/");
// The desktop entry's and the AppStream component's id, also the icon's name.
inline const QString kDesktopId = QStringLiteral("example.quarn.NetworkInformation");

// Names the application, its version, maker and desktop entry to Qt and
// registers the ui resources (the application icon). Call once, before the
// first window.
void applyApplicationMetadata(QCoreApplication& app);

// The application icon: one 32 x 32 picture in 256 colours.
QIcon applicationIcon();

} // namespace qni

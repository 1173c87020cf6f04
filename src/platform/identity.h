// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace qni {

// GetVersionExA's answer.
struct VersionRecord {
    int major = 0;
    int minor = 0;
    int platformId = 0;
};

// The Windows version the platform layer presents to the program.
struct Identity {
    QString buildLab;
    QString csdVersion;
    QString currentBuildNumber;
    QString version;      // Win32_OperatingSystem "Version"
    QString serialNumber; // Win32_OperatingSystem "SerialNumber"
    VersionRecord versionRecord;

    // Windows XP Professional Service Pack 3, with a serial number derived
    // from the machine id.
    static Identity windowsXp(const QByteArray& machineId);
};

// "76487-OEM-NNNNNNN-NNNNN", stable for one machine id.
QString xpSerialFromMachineId(const QByteArray& machineId);

} // namespace qni

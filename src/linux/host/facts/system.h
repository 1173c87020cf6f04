// SPDX-License-Identifier: MIT
#pragma once

#include "platform/identity.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace qni {

// The NAME=value assignments of an os-release file, values unquoted as the
// shell would (single and double quotes, backslash escapes). Lines that are
// not assignments, or whose quotes do not close, are skipped; a later
// assignment replaces an earlier one.
QHash<QString, QString> parseOsRelease(QByteArrayView text);

// The identity of the host under root: os-release (/etc, else /usr/lib),
// /etc/machine-id, and the kernel's name and release from /proc.
HostIdentity readHostIdentity(const QString& root);

} // namespace qni

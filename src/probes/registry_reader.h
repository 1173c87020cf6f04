// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace qni {

struct Platform;

// The data of one registry value as text, read through a new shell object;
// the empty text whenever it cannot be had (no shell object, no such value,
// data without a text form). Never fails.
QString ReadRegValue(const Platform& platform, const QString& path);

} // namespace qni

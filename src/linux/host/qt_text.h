// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <QString>

namespace qni {

// The crossing between Qt's text and the core's, which share their UTF-16
// code units.
inline Text fromQt(const QString& s)
{
    return Text(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

inline QString toQt(TextView s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

} // namespace qni

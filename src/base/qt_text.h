// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string_view>

namespace qni {

// The crossing between Qt's text and the standard C++ helpers, which share
// its UTF-16 code units.
inline std::u16string_view u16(const QString& s)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

inline QString fromU16(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

} // namespace qni

#pragma once

#include "base/variant.h"

#include <QStringList>

#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join(QStringLiteral(", ")).toStdString() << ']'; }
namespace qni {
inline void PrintTo(const Variant& v, std::ostream* os)
{
    *os << (v.kind() == Variant::Kind::Array ? '[' + v.join(QStringLiteral(", ")).toStdString() + ']'
                                             : v.isNull() ? "Null" : v.toText().toStdString());
}
} // namespace qni

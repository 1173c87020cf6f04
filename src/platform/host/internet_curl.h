// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace qni {

// A page body as text by the charset its Content-Type declares: UTF-8 when
// none is declared or the name is unknown; bytes that do not decode become
// U+FFFD.
QString decodePage(const QByteArray& body, const QByteArray& contentType);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

namespace qni {

class Internet;

// A page body as text by the charset its Content-Type declares: UTF-8 when
// none is declared or the name is unknown; bytes that do not decode become
// U+FFFD.
QString decodePage(const QByteArray& body, const QByteArray& contentType);

// The host's fetch with a limit on the whole fetch other than the program's
// ten seconds (tests).
std::shared_ptr<Internet> makeHostInternet(std::chrono::milliseconds limit);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

// The Linux host's parsers take Qt's byte views.

#include "fuzz_support.h"

#include <QByteArrayView>

namespace qni::fuzz {

inline QByteArrayView qbytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace qni::fuzz

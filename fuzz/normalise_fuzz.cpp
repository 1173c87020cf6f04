// SPDX-License-Identifier: MIT
// The output box's line-break normaliser, on raw UTF-16 chunks.

#include "fuzz_support.h"

#include "app/output_collection.h"

using namespace qni;

namespace {

QString withoutCr(QString s) { return s.remove(QLatin1Char('\r')); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString chunk = fuzz::utf16(fuzz::bytes(data, size));
    const QString out = normaliseChunk(chunk);

    const qsizetype crs = chunk.count(QLatin1Char('\r'));
    const qsizetype lfs = chunk.count(QLatin1Char('\n'));
    QNI_FUZZ_CHECK(out.size() == chunk.size() - crs + lfs);
    // Every CR is the first half of a CR LF and every LF the second half.
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == QLatin1Char('\r'))
            QNI_FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == QLatin1Char('\n'));
        if (out[i] == QLatin1Char('\n'))
            QNI_FUZZ_CHECK(i > 0 && out[i - 1] == QLatin1Char('\r'));
    }
    // Nothing but line breaks changes, and normalised text stays as it is.
    QNI_FUZZ_CHECK(withoutCr(out) == withoutCr(chunk));
    QNI_FUZZ_CHECK(normaliseChunk(out) == out);
    return 0;
}

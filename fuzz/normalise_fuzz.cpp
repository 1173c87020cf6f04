// SPDX-License-Identifier: MIT
// The output box's line-break normaliser, on raw UTF-16 chunks.

#include "fuzz_support.h"

#include "app/output_collection.h"

using namespace qni;

namespace {

Text withoutCr(TextView s) { return replaced(s, u"\r", u""); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Text chunk = fuzz::utf16(fuzz::bytes(data, size));
    const Text out = normaliseChunk(chunk);

    const std::size_t crs = countOf(chunk, u'\r');
    const std::size_t lfs = countOf(chunk, u'\n');
    QNI_FUZZ_CHECK(out.size() == chunk.size() - crs + lfs);
    // Every CR is the first half of a CR LF and every LF the second half.
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == u'\r')
            QNI_FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == u'\n');
        if (out[i] == u'\n')
            QNI_FUZZ_CHECK(i > 0 && out[i - 1] == u'\r');
    }
    // Nothing but line breaks changes, and normalised text stays as it is.
    QNI_FUZZ_CHECK(withoutCr(out) == withoutCr(chunk));
    QNI_FUZZ_CHECK(normaliseChunk(out) == out);
    return 0;
}

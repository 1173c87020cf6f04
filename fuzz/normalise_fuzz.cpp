// SPDX-License-Identifier: MIT
// The output box's line-end normaliser, on raw UTF-16 chunks. Input: one
// byte that says where the text is split into two chunks, then the text.

#include "fuzz_support.h"

#include "app/output_collection.h"

using namespace qni;

namespace {

// The text with each line end (CR LF, lone CR, lone LF) as one LF. By hand:
// a regular expression refuses text with a lone surrogate.
QString lineEndsAsLf(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\r') && i + 1 < s.size() && s[i + 1] == QLatin1Char('\n'))
            continue;
        out += s[i] == QLatin1Char('\r') ? QLatin1Char('\n') : s[i];
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QString text = fuzz::utf16(fuzz::bytes(data + 1, size - 1));
    bool afterCr = false;
    const QString out = normaliseChunk(text, afterCr);
    QNI_FUZZ_CHECK(afterCr == text.endsWith(QLatin1Char('\r')));

    // Every CR is the first half of a CR LF and every LF the second half.
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == QLatin1Char('\r'))
            QNI_FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == QLatin1Char('\n'));
        if (out[i] == QLatin1Char('\n'))
            QNI_FUZZ_CHECK(i > 0 && out[i - 1] == QLatin1Char('\r'));
    }
    // Nothing but line ends changes, and normalised text stays as it is.
    QNI_FUZZ_CHECK(lineEndsAsLf(out) == lineEndsAsLf(text));
    bool again = false;
    QNI_FUZZ_CHECK(normaliseChunk(out, again) == out);
    // Wherever the output is cut into chunks, the box ends up the same.
    const qsizetype at = text.size() * data[0] / 255;
    bool split = false;
    const QString first = normaliseChunk(text.first(at), split);
    QNI_FUZZ_CHECK(first + normaliseChunk(text.sliced(at), split) == out);
    return 0;
}

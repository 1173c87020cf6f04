// SPDX-License-Identifier: MIT
// UTF-8 to the program's text and back, on any bytes.

#include "fuzz_support.h"

using namespace qni;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes = fuzz::bytes(data, size);
    const Text text = fromUtf8(bytes);
    const std::string back = toUtf8(text);
    // What comes back is well-formed: it reads the same again.
    QNI_FUZZ_CHECK(fromUtf8(back) == text);
    QNI_FUZZ_CHECK(toUtf8(fromUtf8(back)) == back);
    // Well-formed input comes back unchanged; each replacement stands for at
    // least one byte.
    if (text.find(u'\uFFFD') == Text::npos)
        QNI_FUZZ_CHECK(back == bytes);
    QNI_FUZZ_CHECK(text.size() <= bytes.size());
    // Raw code units, lone surrogates included, leave as well-formed UTF-8.
    const Text units = fuzz::utf16(bytes);
    QNI_FUZZ_CHECK(fromUtf8(toUtf8(units)).size() <= units.size());
    return 0;
}

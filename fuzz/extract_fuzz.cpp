// SPDX-License-Identifier: MIT
// ExtractBetween, checked against a plain model of the same rules.
//
// Input: <2-byte little-endian padding count> <text> \x01 <start mark> \x01
// <end mark>, all UTF-8. The padding puts blanks before the text so that the
// 16-bit position limits are reached with short inputs.

#include "fuzz_support.h"

#include "app/extract_between.h"

using namespace qni;

namespace {

constexpr std::size_t kMaxPosition = 32767;

// What ExtractBetween must give: the text after the first start mark up to
// the next end mark, when both 1-based positions fit in 16 bits.
Text expected(const Text& text, const Text& start, const Text& end)
{
    const std::size_t found = text.find(start);
    if (found == Text::npos)
        return {};
    const std::size_t from = found + start.size(); // 0-based
    if (from + 1 > kMaxPosition || from + 1 > text.size())
        return {};
    const std::size_t to = text.find(end, from);
    if (to == Text::npos || to + 1 > kMaxPosition)
        return {};
    return text.substr(from, to - from);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t padding = std::size_t(data[0] | data[1] << 8) % 40000;
    const auto [textBytes, startBytes, endBytes] = fuzz::split<3>(fuzz::bytes(data + 2, size - 2), '\x01');
    const Text text = Text(padding, u' ') + fuzz::utf8(textBytes);
    const Text start = fuzz::utf8(startBytes);
    const Text end = fuzz::utf8(endBytes);

    const Text result = ExtractBetween(text, start, end);
    QNI_FUZZ_CHECK(result == expected(text, start, end));
    if (!result.empty()) {
        // The cut starts right after the first start mark, stops at an end
        // mark, and holds none.
        const std::size_t from = text.find(start) + start.size();
        QNI_FUZZ_CHECK(TextView(text).substr(from).starts_with(result));
        QNI_FUZZ_CHECK(TextView(text).substr(from + result.size()).starts_with(end));
        QNI_FUZZ_CHECK(result.find(end) == Text::npos);
    }
    return 0;
}

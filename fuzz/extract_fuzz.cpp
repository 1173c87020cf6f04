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

constexpr qsizetype kMaxPosition = 32767;

// What ExtractBetween must give: the text after the first start mark up to
// the next end mark, when both 1-based positions fit in 16 bits.
QString expected(const QString& text, const QString& start, const QString& end)
{
    const qsizetype found = text.indexOf(start);
    if (found < 0)
        return {};
    const qsizetype from = found + start.size(); // 0-based
    if (from + 1 > kMaxPosition || from + 1 > text.size())
        return {};
    const qsizetype to = text.indexOf(end, from);
    if (to < 0 || to + 1 > kMaxPosition)
        return {};
    return text.mid(from, to - from);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const qsizetype padding = qsizetype(data[0] | data[1] << 8) % 40000;
    const auto [textBytes, startBytes, endBytes] = fuzz::split<3>(fuzz::bytes(data + 2, size - 2), '\x01');
    const QString text = QString(padding, QLatin1Char(' ')) + fuzz::utf8(textBytes);
    const QString start = fuzz::utf8(startBytes);
    const QString end = fuzz::utf8(endBytes);

    const QString result = ExtractBetween(text, start, end);
    QNI_FUZZ_CHECK(result == expected(text, start, end));
    if (!result.isEmpty()) {
        // The cut starts right after the first start mark, stops at an end
        // mark, and holds none.
        const qsizetype from = text.indexOf(start) + start.size();
        QNI_FUZZ_CHECK(QStringView(text).sliced(from).startsWith(result));
        QNI_FUZZ_CHECK(QStringView(text).sliced(from + result.size()).startsWith(end));
        QNI_FUZZ_CHECK(!result.contains(end));
    }
    return 0;
}

// SPDX-License-Identifier: MIT
// The query subset (SELECT * FROM <class> [WHERE <property> = <literal>]) and
// the WHERE comparison against an instance's value.
//
// Input: <query, UTF-8> NUL <kind byte> <value bytes>.

#include "fuzz_support.h"

#include "base/step_failed.h"
#include "platform/wql.h"

#include <algorithm>
#include <cstring>

using namespace qni;

namespace {

std::optional<Variant> valueFrom(std::string_view recipe)
{
    if (recipe.empty())
        return std::nullopt;
    const std::string_view payload = recipe.substr(1);
    switch (static_cast<unsigned char>(recipe.front()) % 6) {
    case 0:
        return Variant();
    case 1:
        return Variant::null();
    case 2:
        return Variant::text(fuzz::utf8(payload));
    case 3: {
        // Any bit pattern, NaN and infinities included.
        double d = 0;
        std::memcpy(&d, payload.data(), std::min<std::size_t>(sizeof d, std::size_t(payload.size())));
        return Variant::number(d);
    }
    case 4:
        return Variant::boolean(!payload.empty() && (payload.front() & 1));
    default:
        return Variant::array(split(fuzz::utf8(payload), u'\x02'));
    }
}

bool isIdentifier(const Text& s)
{
    const auto letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    return !s.empty() && letter(s[0]) &&
           std::all_of(s.begin(), s.end(), [&](char16_t c) { return letter(c) || (c >= u'0' && c <= u'9'); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [queryBytes, valueBytes] = fuzz::split<2>(fuzz::bytes(data, size), '\0');
    WqlQuery q;
    try {
        q = WqlQuery::parse(fuzz::utf8(queryBytes));
    } catch (const StepFailed&) {
        return 0;
    }
    QNI_FUZZ_CHECK(isIdentifier(q.className));
    QNI_FUZZ_CHECK(q.whereProperty.empty() != q.literal.has_value());
    QNI_FUZZ_CHECK(q.whereProperty.empty() || isIdentifier(q.whereProperty));

    // No WHERE clause selects everything; an instance without the property
    // is never selected by one.
    QNI_FUZZ_CHECK(q.matches(std::nullopt) == q.whereProperty.empty());
    // A literal always equals itself.
    if (q.literal)
        QNI_FUZZ_CHECK(q.matches(q.literal));
    // Comparing never fails, whatever the instance holds.
    q.matches(valueFrom(valueBytes));
    return 0;
}

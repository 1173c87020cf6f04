// SPDX-License-Identifier: MIT
// The query subset (SELECT * FROM <class> [WHERE <property> = <literal>]) and
// the WHERE comparison against an instance's value.
//
// Input: <query, UTF-8> NUL <kind byte> <value bytes>.

#include "fuzz_support.h"

#include "base/step_failed.h"
#include "platform/wql.h"

#include <QRegularExpression>

#include <cstring>

using namespace qni;

namespace {

std::optional<Variant> valueFrom(QByteArrayView recipe)
{
    if (recipe.isEmpty())
        return std::nullopt;
    const QByteArrayView payload = recipe.sliced(1);
    switch (uchar(recipe.front()) % 6) {
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
        return Variant::boolean(!payload.isEmpty() && (payload.front() & 1));
    default:
        return Variant::array(fuzz::utf8(payload).split(QLatin1Char('\x02')));
    }
}

bool isIdentifier(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
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
    QNI_FUZZ_CHECK(q.whereProperty.isEmpty() != q.literal.has_value());
    QNI_FUZZ_CHECK(q.whereProperty.isEmpty() || isIdentifier(q.whereProperty));

    // No WHERE clause selects everything; an instance without the property
    // is never selected by one.
    QNI_FUZZ_CHECK(q.matches(std::nullopt) == q.whereProperty.isEmpty());
    // A literal always equals itself.
    if (q.literal)
        QNI_FUZZ_CHECK(q.matches(q.literal));
    // Comparing never fails, whatever the instance holds.
    q.matches(valueFrom(valueBytes));
    return 0;
}

// SPDX-License-Identifier: MIT
#include "app/extract_between.h"

#include "base/int16.h"
#include "base/resume.h"
#include "base/step_failed.h"

namespace qni {

namespace {

// 1-based position of sFind in sText at or after iStart, 0 when absent. A
// search cannot start before position 1.
std::size_t inStr(Int16 iStart, const Text& sText, const Text& sFind)
{
    if (iStart < 1)
        throw StepFailed("Invalid procedure call or argument");
    if (std::size_t(iStart) > sText.size())
        return 0;
    return findFrom(sText, sFind, std::size_t(iStart));
}

// iLength characters of sText from the 1-based position iStart.
Text mid(const Text& sText, Int16 iStart, Int16 iLength)
{
    if (iStart < 1 || iLength < 0)
        throw StepFailed("Invalid procedure call or argument");
    return middle(sText, std::size_t(iStart), std::size_t(iLength));
}

} // namespace

Text ExtractBetween(const Text& sText, const Text& sStartMark, const Text& sEndMark)
{
    Text result;
    const std::size_t found = findFrom(sText, sStartMark);
    if (found == 0)
        return result;

    Int16 iStart = 0;
    Int16 iEnd = 0;
    Resume r;
    r([&] { iStart = toInt16(static_cast<long long>(found + sStartMark.size())); });
    r([&] { iEnd = toInt16((long long)inStr(iStart, sText, sEndMark)); });
    r([&] { result = mid(sText, iStart, sub16(iEnd, iStart)); });
    return result;
}

} // namespace qni

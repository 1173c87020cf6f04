// SPDX-License-Identifier: MIT
#include "app/extract_between.h"

#include "base/int16.h"
#include "base/resume.h"
#include "base/step_failed.h"

namespace qni {

namespace {

// 1-based position of sFind in sText at or after iStart, 0 when absent. A
// search cannot start before position 1.
qsizetype inStr(Int16 iStart, const QString& sText, const QString& sFind)
{
    if (iStart < 1)
        throw StepFailed("Invalid procedure call or argument");
    if (iStart > sText.size())
        return 0;
    return sText.indexOf(sFind, iStart - 1) + 1;
}

// iLength characters of sText from the 1-based position iStart.
QString mid(const QString& sText, Int16 iStart, Int16 iLength)
{
    if (iStart < 1 || iLength < 0)
        throw StepFailed("Invalid procedure call or argument");
    return sText.mid(iStart - 1, iLength);
}

} // namespace

QString ExtractBetween(const QString& sText, const QString& sStartMark, const QString& sEndMark)
{
    QString result;
    const qsizetype found = sText.indexOf(sStartMark) + 1;
    if (found == 0)
        return result;

    Int16 iStart = 0;
    Int16 iEnd = 0;
    Resume r;
    r([&] { iStart = toInt16(static_cast<long long>(found) + sStartMark.size()); });
    r([&] { iEnd = toInt16(inStr(iStart, sText, sEndMark)); });
    r([&] { result = mid(sText, iStart, sub16(iEnd, iStart)); });
    return result;
}

} // namespace qni

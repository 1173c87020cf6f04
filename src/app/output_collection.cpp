// SPDX-License-Identifier: MIT
#include "app/output_collection.h"

#include "base/text_slot.h"
#include "runner/read_output.h"

#include <memory>

namespace qni {

namespace {

void ReadOutput1_Starting(TextSlot& txtOutput)
{
    txtOutput.set(QString());
}

void ReadOutput1_GotChunk(TextSlot& txtOutput, const QString& sChunk, bool& afterCr)
{
    // Appended, not rebuilt: collecting output stays linear in its size.
    txtOutput.append(normaliseChunk(sChunk, afterCr));
}

} // namespace

QString normaliseChunk(const QString& sChunk, bool& afterCr)
{
    if (sChunk.isEmpty())
        return sChunk;
    const qsizetype crs = sChunk.count(QLatin1Char('\r'));
    const qsizetype lfs = sChunk.count(QLatin1Char('\n'));
    if (crs == 0 && lfs == 0) {
        afterCr = false;
        return sChunk;
    }
    // Output collection is on the window's thread and runs per chunk: one
    // allocation and a plain copy loop keep it cheap.
    QString out(sChunk.size() + crs + lfs, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : sChunk) {
        const bool lfOfCrLf = afterCr && c == QLatin1Char('\n');
        afterCr = c == QLatin1Char('\r');
        if (lfOfCrLf)
            continue;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            *o++ = QLatin1Char('\r');
            *o++ = QLatin1Char('\n');
        } else {
            *o++ = c;
        }
    }
    out.truncate(o - out.constData());
    return out;
}

void collectOutput(ReadOutput& ReadOutput1, TextSlot& txtOutput)
{
    const auto afterCr = std::make_shared<bool>(false);
    QObject::connect(&ReadOutput1, &ReadOutput::Starting, &ReadOutput1,
                     [&txtOutput, afterCr] {
                         *afterCr = false;
                         ReadOutput1_Starting(txtOutput);
                     }, Qt::DirectConnection);
    QObject::connect(&ReadOutput1, &ReadOutput::GotChunk, &ReadOutput1,
                     [&txtOutput, afterCr](const QString& sChunk, bool) {
                         ReadOutput1_GotChunk(txtOutput, sChunk, *afterCr);
                     }, Qt::DirectConnection);
}

} // namespace qni

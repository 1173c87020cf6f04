// SPDX-License-Identifier: MIT
#include "app/output_collection.h"

#include "base/text_slot.h"
#include "runner/read_output.h"

namespace qni {

namespace {

void ReadOutput1_Starting(TextSlot& txtOutput)
{
    txtOutput.set(QString());
}

void ReadOutput1_GotChunk(ReadOutput& ReadOutput1, TextSlot& txtOutput, const QString& sChunk)
{
    const qsizetype room = kOutputLimit - txtOutput.get().size();
    if (room <= 0)
        return;
    // Appended, not rebuilt: collecting output stays linear in its size.
    const QString tail = normaliseChunk(sChunk);
    if (tail.size() <= room)
        return txtOutput.append(tail);
    txtOutput.append(tail.left(room));
    ReadOutput1.CancelProcess();
}

} // namespace

QString normaliseChunk(const QString& sChunk)
{
    const qsizetype crs = sChunk.count(QLatin1Char('\r'));
    const qsizetype lfs = sChunk.count(QLatin1Char('\n'));
    if (crs == 0 && lfs == 0)
        return sChunk;
    // Output collection is on the window's thread and runs per chunk: one
    // exact allocation and a plain copy loop keep it cheap.
    QString out(sChunk.size() - crs + lfs, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : sChunk) {
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char('\n'))
            *o++ = QLatin1Char('\r');
        *o++ = c;
    }
    return out;
}

void collectOutput(ReadOutput& ReadOutput1, TextSlot& txtOutput)
{
    ReadOutput1.Starting.connect([&txtOutput] { ReadOutput1_Starting(txtOutput); });
    ReadOutput1.GotChunk.connect([&ReadOutput1, &txtOutput](const QString& sChunk, bool) {
        ReadOutput1_GotChunk(ReadOutput1, txtOutput, sChunk);
    });
}

bool outputWasCut(const TextSlot& txtOutput)
{
    return txtOutput.get().size() >= kOutputLimit;
}

} // namespace qni

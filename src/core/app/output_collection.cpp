// SPDX-License-Identifier: MIT
#include "app/output_collection.h"

#include "base/text_slot.h"
#include "runner/read_output.h"

namespace qni {

namespace {

void ReadOutput1_Starting(TextSlot& txtOutput)
{
    txtOutput.set(Text());
}

void ReadOutput1_GotChunk(ReadOutput& ReadOutput1, TextSlot& txtOutput, const Text& sChunk)
{
    const std::size_t held = txtOutput.length();
    if (held >= kOutputLimit)
        return;
    const std::size_t room = kOutputLimit - held;
    // Appended, not rebuilt: collecting output stays linear in its size.
    const Text tail = normaliseChunk(sChunk);
    if (tail.size() <= room)
        return txtOutput.append(tail);
    txtOutput.append(tail.substr(0, room));
    ReadOutput1.CancelProcess();
}

} // namespace

Text normaliseChunk(const Text& sChunk)
{
    const std::size_t crs = countOf(sChunk, u'\r');
    const std::size_t lfs = countOf(sChunk, u'\n');
    if (crs == 0 && lfs == 0)
        return sChunk;
    // Output collection is on the window's thread and runs per chunk: one
    // exact allocation and a plain copy loop keep it cheap.
    Text out(sChunk.size() - crs + lfs, u'\0');
    char16_t* o = out.data();
    for (const char16_t c : sChunk) {
        if (c == u'\r')
            continue;
        if (c == u'\n')
            *o++ = u'\r';
        *o++ = c;
    }
    return out;
}

void collectOutput(ReadOutput& ReadOutput1, TextSlot& txtOutput)
{
    ReadOutput1.Starting.connect([&txtOutput] { ReadOutput1_Starting(txtOutput); });
    ReadOutput1.GotChunk.connect([&ReadOutput1, &txtOutput](const Text& sChunk, bool) {
        ReadOutput1_GotChunk(ReadOutput1, txtOutput, sChunk);
    });
}

bool outputWasCut(const TextSlot& txtOutput)
{
    return txtOutput.length() >= kOutputLimit;
}

} // namespace qni

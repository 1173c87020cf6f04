// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace qni {

class ReadOutput;
class TextSlot;

// A chunk of command output as the output box stores it: each line end (CR
// LF, a lone LF, or a lone CR as old Mac programs write) becomes one CR LF.
// afterCr says whether the chunk before ended in CR, so that a CR LF split
// between two chunks stays one line end; it is left set for the next chunk.
QString normaliseChunk(const QString& sChunk, bool& afterCr);

// Collects what the runner prints into txtOutput: Starting empties the box,
// each GotChunk appends the chunk normalised. The connections are direct, so
// the box is complete when ProcessCommand returns; they last as long as the
// runner, which must not outlive the box.
void collectOutput(ReadOutput& ReadOutput1, TextSlot& txtOutput);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <cstddef>


namespace qni {

class ReadOutput;
class TextSlot;

// A chunk of command output as the output box stores it: every CR dropped,
// then every LF written as CR LF. Dropping CR first makes CR LF, a lone LF and
// a CR LF pair split across two chunks all come out as one CR LF.
Text normaliseChunk(const Text& sChunk);

// The most output the box takes, far above any real "ipconfig /all": a
// command that writes without end must not eat the machine's memory.
inline constexpr std::size_t kOutputLimit = 16 * 1024 * 1024;

// Collects what the runner prints into txtOutput: Starting empties the box,
// each GotChunk appends the chunk normalised. Output beyond kOutputLimit is
// not kept, and the run is cancelled. The box is complete when ProcessCommand
// returns; the handlers last as long as the runner, which must not outlive
// the box.
void collectOutput(ReadOutput& ReadOutput1, TextSlot& txtOutput);

// Whether the box holds only the start of a longer output.
bool outputWasCut(const TextSlot& txtOutput);

} // namespace qni

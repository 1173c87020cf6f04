// SPDX-License-Identifier: MIT
#pragma once

#include "described/machine_description.h"
#include "platform/process_service.h"

#include <memory>

namespace qni {

// Output in UTF-8: a sequence cut off at the end of a read is held back for
// the next one; an ill-formed one becomes U+FFFD.
std::unique_ptr<OutputDecoder> makeUtf8OutputDecoder();

// The processes of a described machine. A command line that runs
// `"<interpreter>" /c "<command>"` through base's interpreter, for a command
// the description records, starts nothing: the read end of its pipe serves
// the recorded text, in UTF-8, and the decoder handed out after that start
// reads UTF-8, so the text comes back exactly as recorded whatever the
// system's code page. Any other command line goes to base, the system's
// service; without one its start fails with error 2 (file not found).
std::shared_ptr<ProcessService> makeDescribedProcesses(ValueMap<Text> commands,
                                                       std::shared_ptr<ProcessService> base);

} // namespace qni

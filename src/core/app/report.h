// SPDX-License-Identifier: MIT
#pragma once

#include "app/facts.h"


#include <array>
#include <string>
#include <vector>

namespace qni {

// What a report prints: the ten boxes' texts after a run, in window order,
// the status line's final text, and the facts whose step failed, and why.
struct ReportFacts {
    std::array<Text, kFacts.size()> texts;
    Text status;
    std::vector<Fact> unavailable; // window order, no repeats
    std::array<Text, kFacts.size()> reasons; // as the status line's tip gives them, for the unavailable facts
};

// Reads the boxes the window was left with, so that a report can never
// disagree with the window.
ReportFacts reportFacts(ResultBoxes& boxes, const GatherOutcome& outcome);

// A box's text as lines: CR LF, a lone CR and a lone LF each end a line; the
// line end after the last line does not start another one.
std::vector<Text> boxLines(const Text& text);

// One "Caption: value" line per fact; the memory box's further lines sit
// under the first. Control characters other than tab, and any other line
// break or bidirectional control, show as U+FFFD so that box texts can
// neither drive the terminal nor forge or reorder lines. UTF-8, LF line ends.
std::string textReport(const ReportFacts& facts);

// One JSON object, members in window order, then "status", "unavailable"
// and "reasons" (name: reason, for each unavailable member). Every control
// character, line separator and bidirectional control is escaped and
// unpaired surrogates become U+FFFD, so the output is valid UTF-8 JSON that
// reads as it is whatever the boxes hold.
std::string jsonReport(const ReportFacts& facts);

} // namespace qni

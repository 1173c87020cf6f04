// SPDX-License-Identifier: MIT
#pragma once

#include "app/facts.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace qni {

// What a report prints: the ten boxes' texts after a run, in window order,
// the status line's final text, and the facts whose step failed.
struct ReportFacts {
    std::array<QString, kFacts.size()> texts;
    QString status;
    QList<Fact> unavailable; // window order, no repeats
};

// Reads the boxes the window was left with, so that a report can never
// disagree with the window.
ReportFacts reportFacts(ResultBoxes& boxes, const GatherOutcome& outcome);

// A box's text as lines: CR LF, a lone CR and a lone LF each end a line; the
// line end after the last line does not start another one.
QStringList boxLines(const QString& text);

// One "Caption: value" line per fact; the further lines of a box sit under
// the first. Control characters other than tab show as U+FFFD so that box
// texts cannot drive the terminal. UTF-8, LF line ends.
QByteArray textReport(const ReportFacts& facts);

// One JSON object, members in window order, then "status" and
// "unavailable". Every control character is escaped and unpaired
// surrogates become U+FFFD, so the output is valid UTF-8 JSON whatever the
// boxes hold.
QByteArray jsonReport(const ReportFacts& facts);

} // namespace qni

// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"
#include "app/network_section.h"
#include "app/pause.h"
#include "runner/read_output.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

namespace qni::test {

// The real main window, as the program builds it, that never ends the
// program; gather() and network() run as a click does, less the pause.
struct TestWindow {
    explicit TestWindow(Platform platform) : w(std::move(platform)) { w.setEndProgram([] {}); }

    ResultBoxes& boxes() { return w.boxes(); }

    GatherOutcome network()
    {
        GatherOutcome outcome;
        NetworkHost host{w.boxes(), w.platform(), *w.findChild<ReadOutput*>(QStringLiteral("ReadOutput1")),
                         w.events(), [](Int16) {}, w.settings().publicPage,
                         [&](const TextSlot& box, const QString& reason) {
                             for (const FactInfo& info : kFacts)
                                 if (&info.box(w.boxes()) == &box)
                                     outcome.fail(info.fact, reason);
                         }};
        runNetworkSection(host);
        return outcome;
    }

    GatherOutcome gather()
    {
        GatherHost host{w.boxes(), w.platform(), w.events(),
                        [this](const QString& text) { messages << text; },
                        [this](const BoxFailed& failed) {
                            NetworkHost network{w.boxes(), w.platform(),
                                                *w.findChild<ReadOutput*>(QStringLiteral("ReadOutput1")), w.events(),
                                                [](Int16) {},
                                                w.settings().publicPage, failed};
                            runNetworkSection(network);
                        }};
        return runGather(host);
    }

    FrmMain w;
    QStringList messages; // the message boxes a gather showed
};

} // namespace qni::test

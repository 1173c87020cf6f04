// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"
#include "app/network_section.h"
#include "runner/read_output.h"
#include "support/machine.h"
#include "ui/main_window.h"

namespace qni::test {

// The real main window, as the program builds it, that never ends the
// program; gather() and network() run as a click does, less the pause.
struct TestWindow {
    explicit TestWindow(Platform platform) : w(std::move(platform)) { w.setEndProgram([] {}); }

    ResultBoxes& boxes() { return w.boxes(); }

    GatherOutcome network()
    {
        GatherOutcome outcome;
        runNetwork([&](const TextSlot& box, const Text& reason) {
            for (const FactInfo& info : kFacts)
                if (&info.box(w.boxes()) == &box)
                    outcome.fail(info.fact, reason);
        });
        return outcome;
    }

    GatherOutcome gather()
    {
        GatherHost host{w.boxes(), w.platform(), w.events(), [this](const Text& text) { messages << toQt(text); },
                        [this](const BoxFailed& failed) { runNetwork(failed); }};
        return runGather(host);
    }

    void runNetwork(const BoxFailed& failed)
    {
        NetworkHost host{w.boxes(), w.platform(), w.runner(),
                         w.events(), [](Int16) {}, w.settings().publicPage, failed};
        runNetworkSection(host);
    }

    FrmMain w;
    QStringList messages; // the message boxes a gather showed
};

} // namespace qni::test

// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"
#include "app/network_section.h"
#include "runner/read_output.h"
#include "support/machine.h"
#include "ui/main_window.h"

namespace qni::test {

// `p` whose "ipconfig /all" writes `output` in pieces of `chunk` bytes; a
// negative chunk: it cannot be started.
inline Platform withOutput(Platform p, const QByteArray& output, int chunk = 256)
{
    p.processes = std::make_shared<ScriptedProcesses>(output, chunk);
    return p;
}

// Why `fact` was not gathered; empty if it was.
inline QString reasonOf(const GatherOutcome& outcome, Fact fact)
{
    for (const FactFailure& f : outcome.failures)
        if (f.fact == fact)
            return f.reason;
    return {};
}

// The real main window, as the program builds it, that never ends the
// program; gather() and network() run as a click does, less the pause.
struct TestWindow {
    explicit TestWindow(Platform platform) : w(std::move(platform)) { w.setEndProgram([] {}); }

    ResultBoxes& boxes() { return w.boxes(); }

    GatherOutcome network()
    {
        GatherOutcome outcome;
        runNetwork([&](const TextSlot& box, const QString& reason) {
            for (const FactInfo& info : kFacts)
                if (&info.box(w.boxes()) == &box)
                    outcome.fail(info.fact, reason);
        });
        return outcome;
    }

    GatherOutcome gather()
    {
        GatherHost host{w.boxes(), w.platform(), w.events(), [this](const QString& text) { messages << text; },
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

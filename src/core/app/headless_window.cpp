// SPDX-License-Identifier: MIT
#include "app/headless_window.h"

#include "app/network_section.h"
#include "app/pause.h"

namespace qni {

HeadlessWindow::HeadlessWindow(Platform p, EventPump& e) : platform(std::move(p)), events(e)
{
    wireRunner(runner, events, b.txtOutput);
}

GatherOutcome HeadlessWindow::gather(const GatherSettings& settings, const std::function<void(const Text&)>& showMessage)
{
    GatherHost host{b.boxes, platform, events, showMessage,
                    [&](const BoxFailed& failed) { runNetwork(settings.publicPage, failed, true); }};
    return runGather(host);
}

void HeadlessWindow::runNetwork(const Text& publicPage, const BoxFailed& failed, bool pause)
{
    NetworkHost host{b.boxes, platform, runner, events,
                     [&](Int16 iSecs) { pause ? Pause(iSecs, events, platform.sleep) : void(); }, publicPage, failed};
    runNetworkSection(host);
}

} // namespace qni

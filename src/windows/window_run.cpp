// SPDX-License-Identifier: MIT
#include "window_run.h"

#include "main_window.h"
#include "win_event_pump.h"

namespace qni {

int runWindow(Platform platform, const GatherSettings& settings)
{
    FrmMain window(std::move(platform));
    window.setSettings(settings);
    window.show();
    return runMessageLoop();
}

} // namespace qni

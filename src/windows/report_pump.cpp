// SPDX-License-Identifier: MIT
#include "report_pump.h"

#include <windows.h>

namespace qni {

void ReportPump::processEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ReportPump::waitUntil(const std::function<bool()>& done)
{
    for (processEvents(); !done(); processEvents())
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
}

} // namespace qni

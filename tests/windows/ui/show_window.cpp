// SPDX-License-Identifier: MIT
// The window on the machine that QNI_MACHINE describes, for looking at it
// (scripts/screenshot-windows.sh) without the system's own services.
#include "described_machine.h"
#include "main_window.h"

#include <windows.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    try {
        const wchar_t* description = _wgetenv(L"QNI_MACHINE");
        if (!description)
            return 2;
        auto machine = qni::test::describedMachine(description, [](std::chrono::milliseconds ms) {
            Sleep(DWORD(ms.count()));
        });
        qni::FrmMain window(machine.platform);
        window.show(showCommand);
        return qni::runMessageLoop();
    } catch (...) {
        return 1;
    }
}

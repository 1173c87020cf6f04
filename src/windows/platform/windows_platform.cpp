// SPDX-License-Identifier: MIT
#include "windows_platform.h"

#include "win_text.h"
#include "windows_services.h"

#include <windows.h>

#include <algorithm>

namespace qni {

namespace {

VersionRecord version()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return {};
    return {int(info.dwMajorVersion), int(info.dwMinorVersion), int(info.dwPlatformId)};
}

// The user's decimal separator; one of more than one character (none is
// known) would not fit the number format, which keeps its default.
NumberFormat numberFormat()
{
    NumberFormat format;
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 0) {
        const Text text = win::fromCodePage(CP_ACP, separator);
        if (text.size() == 1)
            format.decimalSeparator = text.front();
    }
    return format;
}

} // namespace

Platform windowsPlatform()
{
    Platform p;
    p.management = makeWindowsManagement();
    p.registry = makeWindowsRegistry();
    p.processes = makeWindowsProcessService();
    p.windows = makeWindowsWindowService();
    p.versionRecord = version();
    p.numberFormat = numberFormat();
    p.sleep = [](std::chrono::milliseconds duration) {
        // INFINITE would never return.
        Sleep(DWORD(std::clamp<std::chrono::milliseconds::rep>(duration.count(), 0, INFINITE - 1)));
    };
    p.sockets = makeWindowsSockets();
    p.internet = makeWindowsInternet();
    p.shell = makeWindowsShell();
    return p;
}

} // namespace qni

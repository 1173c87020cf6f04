// SPDX-License-Identifier: MIT
#include "platform/window_service.h"
#include "windows_services.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using namespace qni;

TEST(WindowsWindowService, FindsStylesAndMessagesTheProgramsOwnWindow)
{
    const HWND window = CreateWindowExW(WS_EX_APPWINDOW, L"STATIC", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                        nullptr, nullptr, nullptr, nullptr);
    if (!window)
        GTEST_SKIP() << "no window station to create a window in";
    const auto service = makeWindowsWindowService();
    const auto id = WindowService::WindowId(reinterpret_cast<std::uintptr_t>(window));

    const auto windows = service->topLevelWindows();
    const WindowService::TopLevelWindow own{id, 0, std::int64_t(GetCurrentProcessId())};
    EXPECT_NE(std::find(windows.begin(), windows.end(), own), windows.end());

    service->keepOffTaskBar(id);
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);

    service->offerMoveAndCloseOnly(id);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU),
              WS_SYSMENU);
    const HMENU menu = GetSystemMenu(window, FALSE);
    for (const UINT command : {SC_MOVE, SC_CLOSE})
        EXPECT_NE(GetMenuState(menu, command, MF_BYCOMMAND), UINT(-1)) << command;
    for (const UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
        EXPECT_EQ(GetMenuState(menu, command, MF_BYCOMMAND), UINT(-1)) << command;

    EXPECT_TRUE(service->postMessage(id, kWmClose, 0, 0));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DestroyWindow(window);
    EXPECT_FALSE(service->postMessage(id, kWmClose, 0, 0));
    EXPECT_FALSE(service->postMessage(0, kWmClose, 0, 0));
    EXPECT_FALSE(service->postMessage(0xFFFF, kWmClose, 0, 0)); // HWND_BROADCAST
    service->offerMoveAndCloseOnly(id); // gone: nothing to do
}

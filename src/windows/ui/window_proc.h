// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

namespace qni {

// The window procedure of a class whose windows are objects of T: the object
// comes with WM_NCCREATE and stays in the window's user data; T::handle
// answers once T::answers(window) holds, DefWindowProcW before. Called from
// user32, which no exception may cross.
template <class T>
LRESULT CALLBACK objectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = window;
    }
    if (!self || !self->answers(window))
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

// Registers the window class of T's windows once: their procedure, the
// dialog face, the arrow; icons where given.
template <class T>
void registerObjectClass(const wchar_t* className, HICON icon = nullptr, HICON smallIcon = nullptr)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, className, &wc))
        return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &objectWindowProc<T>;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

} // namespace qni

// SPDX-License-Identifier: MIT
// Reads the program's windows from outside, as a screen reader does: each
// top-level window of the process that owns the window titled argv[1], with
// its menu bar's items and its controls in order: class, text, screen
// rectangle, visibility, whether it shows an icon. One JSON object on
// standard output, UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// As a JSON string's inside: quotes, backslashes and controls escaped.
std::string utf8(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text) {
        char bytes[8];
        const int n = c < 0x20 || c == L'"' || c == L'\\'
                          ? std::snprintf(bytes, sizeof bytes, "\\u%04x", unsigned(c))
                          : WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
        out.append(bytes, std::size_t(n > 0 ? n : 0));
    }
    return out;
}

std::wstring textOf(HWND window)
{
    std::wstring text(std::size_t(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(std::size_t(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string rect(const RECT& r)
{
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

std::string describe(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    std::string out = "{\"class\":\"" + utf8(classOf(window)) + "\",\"text\":\"" + utf8(textOf(window)) +
                      "\",\"rect\":" + rect(r) + ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false");
    // The close box at the caption's right end, where a user clicks it.
    const int frame = GetSystemMetrics(SM_CYFIXEDFRAME), button = GetSystemMetrics(SM_CXSIZE);
    out += ",\"closeBox\":[" + std::to_string(r.right - frame - button / 2 - 2) + "," +
           std::to_string(r.top + frame + GetSystemMetrics(SM_CYCAPTION) / 2) + "]";
    // The menu bar lies between the caption and the client area.
    POINT client{0, 0};
    ClientToScreen(window, &client);
    if (GetMenu(window))
        out += ",\"menuBar\":[" + std::to_string(client.x) + "," + std::to_string(client.y - GetSystemMetrics(SM_CYMENU)) +
               "," + std::to_string(client.y) + "]";
    out += ",\"controls\":[";
    bool first = true;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT cr{};
        GetWindowRect(c, &cr);
        out += std::string(first ? "" : ",") + "{\"class\":\"" + utf8(classOf(c)) + "\",\"text\":\"" +
               utf8(textOf(c)) + "\",\"rect\":" + rect(cr) + ",\"visible\":" + (IsWindowVisible(c) ? "true" : "false") +
               ",\"icon\":" + (SendMessageW(c, STM_GETICON, 0, 0) ? "true" : "false") + "}";
        first = false;
    }
    return out + "]}";
}

struct Search {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search.process && IsWindowVisible(window))
        search.windows.push_back(window);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    const HWND main = FindWindowW(nullptr, argv[1]);
    if (!main)
        return 1;
    Search search{0, {}};
    GetWindowThreadProcessId(main, &search.process);
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    std::string out = "[";
    for (std::size_t i = 0; i < search.windows.size(); ++i)
        out += (i ? "," : "") + describe(search.windows[i]);
    std::fputs((out + "]\n").c_str(), stdout);
    return 0;
}

// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"
#include "twips.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace qni {

struct Platform;
class Shell;

// The About box: the program's name, platform, version and author, and a
// link that opens the maker's page. A fixed, modeless tool window without
// owner; OK and the close box close it. Each opening is a new box.
class AboutBox final {
public:
    // Created hidden; programFolder holds Hand.cur.
    AboutBox(const Platform& platform, std::wstring programFolder);
    ~AboutBox();
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    // Shows the box centred on the screen, the focus on OK.
    void show();
    void bringToFront();
    void close();
    bool isOpen() const { return hwnd_ != nullptr; }

    HWND hwnd() const { return hwnd_; }
    // A control by its name ("Label4", "cmdOK"); null for none.
    HWND control(std::wstring_view name) const;
    // The pointer shown over the link.
    HCURSOR linkPointer() const { return pointer_; }

    // Hands the address to the shell's open operation; the outcome is not
    // looked at.
    void OpenWebPage(const Text& address);

private:
    template <class T>
    friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    bool answers(HWND window) const { return hwnd_ == window; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND add(const wchar_t* name, const wchar_t* windowClass, const wchar_t* caption, DWORD style,
             const TwipsRect& twips, const Font& font);
    void Form_Load(const std::wstring& programFolder);
    void StyleLinkLabel(HWND label, const std::wstring& pointerFile);
    void Label4_Click();
    void cmdOK_Click();
    void releasePointer();

    std::shared_ptr<Shell> shell_;
    Dpi dpi_ = screenDpi();
    // MS Sans Serif 12 pt, or the nearest sans-serif face the system has.
    Font font_{L"MS Sans Serif", 1200, dpi_.y};
    Font linkFont_{L"MS Sans Serif", 1200, dpi_.y, false, true};
    HWND hwnd_ = nullptr;
    HWND Label4 = nullptr;
    HWND cmdOK = nullptr;
    HCURSOR pointer_ = nullptr;
    bool ownPointer_ = false;
    std::map<std::wstring, HWND, std::less<>> controls_;
    int nextId_ = 100; // clear of IDOK and IDCANCEL, which Enter and Escape send
};

} // namespace qni

// SPDX-License-Identifier: MIT
#include "about_box.h"

#include "app_texts.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "wide.h"
#include "win_event_pump.h"
#include "window_placement.h"
#include "window_proc.h"

#include <stdexcept>

namespace qni {

namespace {

constexpr wchar_t kClassName[] = L"frmAbout";

} // namespace

AboutBox::AboutBox(const Platform& platform, std::wstring programFolder) : shell_(platform.shell)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerObjectClass<AboutBox>(kClassName);
    // No owner: the main window stays usable, and the box has no task-bar
    // button as a tool window.
    CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"About", WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("the About box could not be created");
    SetPropW(hwnd_, L"QniName", const_cast<wchar_t*>(L"frmAbout"));
    setClientSize(hwnd_, twipsToPixels(4365, dpi_.x), twipsToPixels(2970, dpi_.y));

    // Created in tab order; only the button takes the focus. Each label is
    // one line: a face wider than MS Sans Serif is cut at the label's edge
    // rather than broken onto a line the label has no room for.
    const DWORD line = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    add(L"lblAbout", L"STATIC", kApplicationName, line, {240, 120, 3375, 375}, font_);
    add(L"Label1", L"STATIC", L"For Windows!", SS_RIGHT | SS_NOPREFIX, {2640, 480, 1575, 375}, font_);
    add(L"Label2", L"STATIC", L"Version: 1.0.0", line, {240, 840, 1455, 375}, font_);
    add(L"Label3", L"STATIC", (std::wstring(L"Developed By: ") + kMakerName).c_str(), line, {240, 1200, 3615, 375},
        font_);
    Label4 = add(L"Label4", L"STATIC", wide(kMakerAddress), line | SS_NOTIFY, {240, 1920, 3975, 375}, font_);
    // Not the default button: Escape does nothing, and Enter presses it
    // only because it has the focus.
    cmdOK = add(L"cmdOK", L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, {3000, 2400, 1215, 375}, font_);

    addDialogWindow(hwnd_);
    Form_Load(programFolder);
}

AboutBox::~AboutBox() { close(); }

HWND AboutBox::add(const wchar_t* name, const wchar_t* windowClass, const wchar_t* caption, DWORD style,
                   const TwipsRect& twips, const Font& font)
{
    const RECT r = pixelRect(twips, dpi_);
    HWND control = CreateWindowExW(0, windowClass, caption, WS_CHILD | WS_VISIBLE | style, r.left,
                                   r.top, r.right - r.left, r.bottom - r.top, hwnd_,
                                   reinterpret_cast<HMENU>(INT_PTR(nextId_++)), GetModuleHandleW(nullptr), nullptr);
    if (!control)
        throw std::runtime_error("a control of the About box could not be created");
    SetPropW(control, L"QniName", const_cast<wchar_t*>(name));
    setFont(control, font);
    controls_.emplace(name, control);
    return control;
}

HWND AboutBox::control(std::wstring_view name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void AboutBox::Form_Load(const std::wstring& programFolder)
{
    StyleLinkLabel(Label4, programFolder + L"\\Hand.cur");
}

void AboutBox::StyleLinkLabel(HWND label, const std::wstring& pointerFile)
{
    // Underlined here, blue where it is drawn (WM_CTLCOLORSTATIC), and the
    // file's pointer over it (WM_SETCURSOR).
    setFont(label, linkFont_);
    releasePointer();
    pointer_ = LoadCursorFromFileW(pointerFile.c_str());
    ownPointer_ = pointer_ != nullptr;
    // A missing or unusable file: the system's pointing hand.
    if (!pointer_)
        pointer_ = LoadCursorW(nullptr, IDC_HAND);
}

void AboutBox::releasePointer()
{
    if (ownPointer_ && pointer_)
        DestroyCursor(pointer_);
    pointer_ = nullptr;
    ownPointer_ = false;
}

void AboutBox::show()
{
    if (!hwnd_)
        return;
    centreOnScreen(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
    bringToFront();
}

void AboutBox::bringToFront()
{
    if (!hwnd_)
        return;
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    SetFocus(cmdOK);
}

void AboutBox::close()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void AboutBox::Label4_Click() { OpenWebPage(kMakerAddress); }

void AboutBox::OpenWebPage(const Text& address)
{
    if (shell_)
        shell_->open(address);
}

void AboutBox::cmdOK_Click() { close(); }

LRESULT AboutBox::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const auto from = reinterpret_cast<HWND>(lParam);
        if (from && from == cmdOK && HIWORD(wParam) == BN_CLICKED)
            cmdOK_Click();
        else if (from && from == Label4 && HIWORD(wParam) == STN_CLICKED)
            Label4_Click();
        else if (!from && LOWORD(wParam) == IDOK && GetFocus() == cmdOK)
            cmdOK_Click(); // Enter on the button
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == Label4) {
            const LRESULT brush = DefWindowProcW(hwnd_, message, wParam, lParam);
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
            return brush;
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Label4 && LOWORD(lParam) == HTCLIENT && pointer_) {
            SetCursor(pointer_);
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && cmdOK) {
            SetFocus(cmdOK);
            return 0;
        }
        break;
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        removeDialogWindow(hwnd_);
        releasePointer();
        hwnd_ = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace qni

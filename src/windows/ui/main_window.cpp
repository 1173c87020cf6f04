// SPDX-License-Identifier: MIT
#include "main_window.h"

#include "about_box.h"
#include "app/network_section.h"
#include "app/pause.h"
#include "app_texts.h"
#include "resources/product.h"
#include "runner/read_output.h"
#include "wide.h"
#include "window_placement.h"
#include "window_proc.h"

#include <commctrl.h>

#include <stdexcept>

namespace qni {

namespace {

constexpr wchar_t kClassName[] = L"frmMAin";

// Client area: 7110 x 6300 twips, below the menu bar.
constexpr int kClientWidth = 7110;
constexpr int kClientHeight = 6300;

// Tool tips wider than this wrap; a line break in the text breaks the line.
constexpr int kTipWidthTwips = 9000;

HMENU helpMenu()
{
    HMENU bar = CreateMenu();
    HMENU mnuHelp = CreatePopupMenu();
    AppendMenuW(mnuHelp, MF_STRING, FrmMain::kMnuAboutId, L"&About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(mnuHelp), L"&Help");
    return bar;
}

std::wstring executableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") == std::wstring::npos ? 0 : path.find_last_of(L"\\/"));
}

} // namespace

FrmMain::FrmMain(Platform platform, std::wstring programFolder)
    : platform_(std::move(platform)),
      programFolder_(programFolder.empty() ? executableFolder() : std::move(programFolder))
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerObjectClass<FrmMain>(kClassName, LoadIconW(instance, MAKEINTRESOURCEW(QNI_IDI_APPLICATION)),
                                 static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(QNI_IDI_APPLICATION),
                                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    // A resizable border without a maximize box: enlarging leaves space,
    // shrinking clips, nothing moves.
    CreateWindowExW(0, kClassName, kApplicationName,
                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, helpMenu(), instance, this);
    if (!hwnd_)
        throw std::runtime_error("the main window could not be created");
    SetPropW(hwnd_, L"QniName", const_cast<wchar_t*>(L"frmMAin"));
    buildLayout();
    setClientSize(hwnd_, twipsToPixels(kClientWidth, dpi_.x), twipsToPixels(kClientHeight, dpi_.y));
    addDialogWindow(hwnd_);

    boxes_ = std::make_unique<ResultBoxes>(ResultBoxes{*txtOS, *txtOSSerial, *txtVersion, *txtMemory, *txtCPU,
                                                       *txtCPUSpeed, *txtNETIP, *txtINTIP, *txtMask, *txtMac,
                                                       *txtOutput, *txtIP, *txtTotal, *lblStatus, *lblIPConfig});
    showMessage_ = [this](const Text& text) { MessageBoxW(hwnd_, wide(text), kApplicationName, MB_OK); };
    // At once: a run waiting at an event-processing point never resumes.
    endProgram_ = [] { ExitProcess(0); };
    ReadOutput1 = std::make_unique<ReadOutput>(platform_);
    wireRunner(*ReadOutput1, events_, *txtOutput);
    ready_ = true;
}

FrmMain::~FrmMain()
{
    destroying_ = true;
    about_.reset();
    removeDialogWindow(hwnd_);
    if (hwnd_)
        DestroyWindow(hwnd_);
}

HWND FrmMain::add(const wchar_t* name, const wchar_t* windowClass, const wchar_t* caption, DWORD style,
                  DWORD exStyle, const TwipsRect& twips, POINT origin, HFONT font)
{
    const RECT r = pixelRect(twips, dpi_, origin);
    HWND control = CreateWindowExW(exStyle, windowClass, caption, WS_CHILD | style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, hwnd_, reinterpret_cast<HMENU>(INT_PTR(nextId_++)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!control)
        throw std::runtime_error("a control of the main window could not be created");
    SetPropW(control, L"QniName", const_cast<wchar_t*>(name));
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_.emplace(name, control);
    return control;
}

std::unique_ptr<TextBox> FrmMain::rowBox(POINT frame, const wchar_t* name, int top, TextBox::Lines lines,
                                         DWORD style, int height)
{
    style |= WS_VISIBLE | WS_TABSTOP |
             (lines == TextBox::Lines::Multi ? ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL : ES_AUTOHSCROLL);
    return std::make_unique<TextBox>(
        add(name, L"EDIT", L"", style, WS_EX_CLIENTEDGE, {1920, top, 3375, height}, frame, boxFont_.handle()),
        lines);
}

void FrmMain::buildLayout()
{
    // Created in tab order. A screen reader names each box by the label
    // created just before it. The frames are the controls' siblings, not
    // their parents, so that the controls' notifications reach the window.
    const auto frame = [&](const wchar_t* name, const wchar_t* caption, int top, int height) {
        const TwipsRect twips{120, top, 5415, height};
        add(name, L"BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, 0, twips, {}, captionFont_.handle());
        const RECT r = pixelRect(twips, dpi_);
        return POINT{r.left, r.top};
    };
    const auto label = [&](POINT frame, const wchar_t* name, const wchar_t* caption, int top, int width) {
        add(name, L"STATIC", caption, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, {120, top, width, 255}, frame,
            captionFont_.handle());
    };
    using enum TextBox::Lines;

    const POINT os = frame(L"OS", L"OS Information", 120, 1575);
    label(os, L"Label1", L"Operating System:", 360, 1935);
    // Many lines without scroll bars: a long name wraps inside the box.
    txtOS = rowBox(os, L"txtOS", 360, Multi);
    label(os, L"Label2", L"Serial Number:", 720, 1335);
    txtOSSerial = rowBox(os, L"txtOSSerial", 720, Single);
    label(os, L"Label3", L"OS Version:", 1080, 1215);
    txtVersion = rowBox(os, L"txtVersion", 1080, Single);

    // Neither the default nor the cancel button.
    cmdGet = add(L"cmdGet", L"BUTTON", L"Gather Info", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                 {5640, 240, 1335, 375}, {}, captionFont_.handle());

    const POINT memory = frame(L"Memory", L"RAM Information", 1800, 880);
    label(memory, L"Label4", L"Memory Chips:", 360, 1335);
    txtMemory = rowBox(memory, L"txtMemory", 240, Multi, WS_VSCROLL, 530);

    const POINT processor = frame(L"Processor", L"Processor Information", 2760, 1215);
    label(processor, L"Label5", L"CPU:", 360, 495);
    txtCPU = rowBox(processor, L"txtCPU", 360, Single);
    label(processor, L"Label6", L"Clocked Speed:", 720, 1455);
    txtCPUSpeed = rowBox(processor, L"txtCPUSpeed", 720, Single);

    const POINT ip = frame(L"IPInfo", L"IP Information", 4080, 1815);
    label(ip, L"Label7", L"Network Address:", 360, 1575);
    txtNETIP = rowBox(ip, L"txtNETIP", 360, Single);
    label(ip, L"Label8", L"Internet Address:", 720, 1575);
    txtINTIP = rowBox(ip, L"txtINTIP", 720, Single);
    label(ip, L"Label9", L"Subnet Mask:", 1080, 1215);
    txtMask = rowBox(ip, L"txtMask", 1080, Single);
    label(ip, L"Label10", L"Mac Address:", 1440, 1335);
    txtMac = rowBox(ip, L"txtMac", 1440, Single);

    // Black with white text; SS_NOTIFY lets its tool tip see the mouse.
    lblStatus = std::make_unique<CaptionLabel>(add(L"lblStatus", L"STATIC", L"",
                                                   WS_VISIBLE | SS_CENTER | SS_NOPREFIX | SS_NOTIFY, 0,
                                                   {0, 6000, 7095, 300}, {}, statusFont_.handle()));

    // Hidden controls and faceless components: there, never seen, never
    // reached by the keyboard.
    const HFONT defaultFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    txtOutput = std::make_unique<TextBox>(add(L"txtOutput", L"EDIT", L"",
                                              ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE,
                                              {5640, 4200, 1335, 735}, {}, defaultFont),
                                          Multi);
    txtIP = std::make_unique<TextBox>(
        add(L"txtIP", L"EDIT", L"", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {5640, 1800, 1095, 285}, {}, defaultFont),
        Single);
    txtTotal = std::make_unique<TextBox>(
        add(L"txtTotal", L"EDIT", L"", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {5640, 960, 1215, 285}, {}, defaultFont),
        Single);
    lblIPConfig = std::make_unique<CaptionLabel>(
        add(L"lblIPConfig", L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, {5760, 3720, 1095, 255}, {}, defaultFont));
    lblIPConfig->set(u"ipconfig /all");
    add(L"ReadOutput1", L"STATIC", L"", 0, 0, {6000, 2160, 975, 735}, {}, defaultFont);
    add(L"sOCk", L"STATIC", L"", 0, 0, {5640, 2760, 420, 420}, {}, defaultFont);
    add(L"Inet1", L"STATIC", L"", 0, 0, {6000, 3000, 420, 420}, {}, defaultFont);

    statusTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (statusTip_) {
        // The size XP's common controls know, with or without visual styles.
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(lblStatus->hwnd());
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(statusTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(statusTip_, TTM_SETMAXTIPWIDTH, 0, twipsToPixels(kTipWidthTwips, dpi_.x));
    }
}

HWND FrmMain::control(std::wstring_view name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void FrmMain::show(int showCommand)
{
    centreOnScreen(hwnd_);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(txtOS->hwnd());
}

void FrmMain::setStatusTip(const Text& tip)
{
    statusTipText_ = tip;
    if (!statusTip_)
        return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(lblStatus->hwnd());
    tool.lpszText = const_cast<wchar_t*>(wide(statusTipText_));
    SendMessageW(statusTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FrmMain::cmdGet_Click()
{
    // A press while a run handles events does nothing, neither nested nor
    // queued: a nested run would list every memory module twice.
    if (gathering_)
        return;
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(gathering_);
    setStatusTip(Text());
    GatherHost host{*boxes_, platform_, events_, [this](const Text& text) { showMessage_(text); },
                    [this](const BoxFailed& failed) { gatherNetworkFacts(failed); }};
    lastOutcome_ = runGather(host);
    setStatusTip(failureList(lastOutcome_));
}

void FrmMain::gatherNetworkFacts(const BoxFailed& failed)
{
    NetworkHost host{*boxes_,
                     platform_,
                     *ReadOutput1,
                     events_,
                     [this](Int16 iSecs) { Pause(iSecs, events_, platform_.sleep); },
                     settings_.publicPage,
                     failed};
    runNetworkSection(host);
}

void FrmMain::mnuAbout_Click()
{
    if (AboutBox* open = aboutBox()) {
        open->bringToFront();
        return;
    }
    // A closed box is discarded here, outside its own window procedure.
    about_ = std::make_unique<AboutBox>(platform_, programFolder_);
    about_->show();
}

AboutBox* FrmMain::aboutBox() const { return about_ && about_->isOpen() ? about_.get() : nullptr; }

void FrmMain::endProgram()
{
    // Unloading the main window ends the whole program at once, every other
    // window with it.
    if (endProgram_)
        endProgram_();
    // Still here: the program was kept (a test); the window goes as it would.
    if (about_)
        about_->close();
    if (!destroying_)
        ShowWindow(hwnd_, SW_HIDE);
}

LRESULT FrmMain::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const auto from = reinterpret_cast<HWND>(lParam);
        const WORD id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        if (!from && id == kMnuAboutId) {
            mnuAbout_Click();
        } else if (from && from == cmdGet && code == BN_CLICKED) {
            cmdGet_Click();
        } else if (from && code == EN_CHANGE) {
            if (TextBox* box = TextBox::of(from))
                box->takeTyped();
        } else if (!from && id == IDOK) {
            // Enter, through the dialog manager: it presses the button only
            // while the button has the focus. Escape (IDCANCEL) does nothing.
            if (GetFocus() == cmdGet)
                cmdGet_Click();
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == lblStatus->hwnd()) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
        }
        break;
    case WM_ACTIVATE:
        // The window's focus is its own: it comes back where it was.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        }
        break;
    case WM_SETFOCUS:
        SetFocus(lastFocus_ && IsChild(hwnd_, lastFocus_) ? lastFocus_ : txtOS->hwnd());
        return 0;
    case WM_CLOSE:
        endProgram();
        return 0;
    case WM_DESTROY:
        removeDialogWindow(hwnd_);
        if (!destroying_)
            endProgram();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace qni

// SPDX-License-Identifier: MIT
// The Win32 window on described machines: what window_e2e.py, which clicks
// the real program and reads it from outside, cannot see.
#include "about_box.h"
#include "main_window.h"
#include "support/doubles.h"
#include "wide.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace qni;
using namespace qni::test;

namespace {

// Wine's drive Z: is the root of the file system.
std::wstring windowsPath(const std::string& unixPath)
{
    return L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
}

std::wstring nameOf(HWND control)
{
    const auto* name = static_cast<const wchar_t*>(GetPropW(control, L"QniName"));
    return name ? name : L"";
}

// The control's rectangle in its window's client area.
RECT placeOf(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LOGFONTW fontOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

SIZE clientSize(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

std::wstring str(const Text& text) { return std::wstring(wide(text)); }

// On the described XP machine without its local address, whose commands
// write nothing.
struct Window {
    explicit Window(const char* pointerFolder = QNI_POINTER_FOLDER)
        : w([this] {
              Platform p = withOutput(machinePlatform("xp-sp3.json", {{"localAddress", nullptr}}), "");
              return p.shell = shell, p;
          }(), windowsPath(pointerFolder))
    {
        w.setEndProgram([this] { ++ends; });
        w.show();
    }
    HWND operator[](const wchar_t* name) const { return w.control(name); }

    std::shared_ptr<RecordingShell> shell = std::make_shared<RecordingShell>();
    FrmMain w;
    int ends = 0;
};

int aboutBoxCount()
{
    int count = 0;
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"frmAbout", nullptr));)
        count += IsWindowVisible(box) != FALSE;
    return count;
}

void key(HWND to, WPARAM virtualKey)
{
    MSG message{to, WM_KEYDOWN, virtualKey, 1, 0, {}};
    dispatchMessage(message);
}

enum Face { Default, Arial975, Arial825, Arial975Bold, SansSerif12, SansSerif12Underlined };

// Inside a frame (frameTop >= 0) a control is placed from the frame's
// corner at (120, frameTop).
struct Placed {
    const wchar_t* name;
    const wchar_t* caption;
    int frameTop, left, top, width, height;
    bool visible;
    Face face;
};

void expectLayout(HWND window, const Placed& c, HWND control)
{
    SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(nameOf(control), c.name);
    const int dpiX = screenDpi().x, dpiY = screenDpi().y;
    const int x = c.frameTop < 0 ? 0 : twipsToPixels(120, dpiX);
    const int y = c.frameTop < 0 ? 0 : twipsToPixels(c.frameTop, dpiY);
    const RECT r = placeOf(control);
    EXPECT_EQ(r.left, x + MulDiv(c.left, dpiX, 1440));
    EXPECT_EQ(r.top, y + MulDiv(c.top, dpiY, 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(c.width, dpiX, 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(c.height, dpiY, 1440));
    EXPECT_EQ(str(windowText(control)), c.caption);
    EXPECT_EQ(bool(IsWindowVisible(control)), c.visible);
    EXPECT_EQ(GetParent(control), window);
    if (c.face == Default)
        return;
    const LOGFONTW font = fontOf(control);
    const bool arial = c.face == Arial975 || c.face == Arial825 || c.face == Arial975Bold;
    EXPECT_EQ(std::wstring(font.lfFaceName), arial ? L"Arial" : L"MS Sans Serif");
    const int centipoints = c.face == Arial825 ? 825 : arial ? 975 : 1200;
    EXPECT_EQ(font.lfHeight, -MulDiv(centipoints, dpiY, 7200));
    EXPECT_EQ(font.lfWeight, c.face == Arial975Bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(bool(font.lfUnderline), c.face == SansSerif12Underlined);
}

TEST(MainWindow, EveryControlAtItsTwipsInItsFontAndVisibility)
{
    const Placed kControls[] = {
        {L"OS", L"OS Information", -1, 120, 120, 5415, 1575, true, Arial975},
        {L"Label1", L"Operating System:", 120, 120, 360, 1935, 255, true, Arial975},
        {L"txtOS", L"", 120, 1920, 360, 3375, 285, true, Arial825},
        {L"Label2", L"Serial Number:", 120, 120, 720, 1335, 255, true, Arial975},
        {L"txtOSSerial", L"", 120, 1920, 720, 3375, 285, true, Arial825},
        {L"Label3", L"OS Version:", 120, 120, 1080, 1215, 255, true, Arial975},
        {L"txtVersion", L"", 120, 1920, 1080, 3375, 285, true, Arial825},
        {L"Memory", L"RAM Information", -1, 120, 1800, 5415, 880, true, Arial975},
        {L"Label4", L"Memory Chips:", 1800, 120, 360, 1335, 255, true, Arial975},
        {L"txtMemory", L"", 1800, 1920, 240, 3375, 530, true, Arial825},
        {L"Processor", L"Processor Information", -1, 120, 2760, 5415, 1215, true, Arial975},
        {L"Label5", L"CPU:", 2760, 120, 360, 495, 255, true, Arial975},
        {L"txtCPU", L"", 2760, 1920, 360, 3375, 285, true, Arial825},
        {L"Label6", L"Clocked Speed:", 2760, 120, 720, 1455, 255, true, Arial975},
        {L"txtCPUSpeed", L"", 2760, 1920, 720, 3375, 285, true, Arial825},
        {L"IPInfo", L"IP Information", -1, 120, 4080, 5415, 1815, true, Arial975},
        {L"Label7", L"Network Address:", 4080, 120, 360, 1575, 255, true, Arial975},
        {L"txtNETIP", L"", 4080, 1920, 360, 3375, 285, true, Arial825},
        {L"Label8", L"Internet Address:", 4080, 120, 720, 1575, 255, true, Arial975},
        {L"txtINTIP", L"", 4080, 1920, 720, 3375, 285, true, Arial825},
        {L"Label9", L"Subnet Mask:", 4080, 120, 1080, 1215, 255, true, Arial975},
        {L"txtMask", L"", 4080, 1920, 1080, 3375, 285, true, Arial825},
        {L"Label10", L"Mac Address:", 4080, 120, 1440, 1335, 255, true, Arial975},
        {L"txtMac", L"", 4080, 1920, 1440, 3375, 285, true, Arial825},
        {L"cmdGet", L"Gather Info", -1, 5640, 240, 1335, 375, true, Arial975},
        {L"lblStatus", L"", -1, 0, 6000, 7095, 300, true, Arial975Bold},
        {L"txtOutput", L"", -1, 5640, 4200, 1335, 735, false, Default},
        {L"txtIP", L"", -1, 5640, 1800, 1095, 285, false, Default},
        {L"txtTotal", L"", -1, 5640, 960, 1215, 285, false, Default},
        {L"lblIPConfig", L"ipconfig /all", -1, 5760, 3720, 1095, 255, false, Default},
        {L"ReadOutput1", L"", -1, 6000, 2160, 975, 735, false, Default},
        {L"sOCk", L"", -1, 5640, 2760, 420, 420, false, Default},
        {L"Inet1", L"", -1, 6000, 3000, 420, 420, false, Default},
    };
    Window window;
    const HWND main = window.w.hwnd();
    for (const Placed& c : kControls)
        expectLayout(main, c, window[c.name]);

    const Dpi dpi = screenDpi();
    EXPECT_EQ(clientSize(main).cx, MulDiv(7110, dpi.x, 1440));
    EXPECT_EQ(clientSize(main).cy, MulDiv(6300, dpi.y, 1440));
    const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU),
              WS_THICKFRAME | WS_MINIMIZEBOX | WS_SYSMENU);
    EXPECT_NE(GetClassLongPtrW(main, GCLP_HICON), 0);
    wchar_t item[32] = {};
    GetMenuStringW(GetMenu(main), 0, item, 32, MF_BYPOSITION);
    EXPECT_STREQ(item, L"&Help");
    GetMenuStringW(GetSubMenu(GetMenu(main), 0), FrmMain::kMnuAboutId, item, 32, MF_BYCOMMAND);
    EXPECT_STREQ(item, L"&About");

    // Tab goes round in this order, out of the boxes of many lines too.
    std::vector<std::wstring> order;
    for (int i = 0; i < 12; ++i) {
        order.push_back(nameOf(GetFocus()));
        key(GetFocus(), VK_TAB);
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"txtOS", L"txtOSSerial", L"txtVersion", L"cmdGet", L"txtMemory",
                                                 L"txtCPU", L"txtCPUSpeed", L"txtNETIP", L"txtINTIP", L"txtMask",
                                                 L"txtMac", L"txtOS"}));
}

TEST(AboutBox, ItsControlsAtTheirTwips)
{
    const Placed kControls[] = {
        {L"lblAbout", L"Quarn Network Information", -1, 240, 120, 3375, 375, true, SansSerif12},
        {L"Label1", L"For Windows!", -1, 2640, 480, 1575, 375, true, SansSerif12},
        {L"Label2", L"Version: 1.0.0", -1, 240, 840, 1455, 375, true, SansSerif12},
        {L"Label3", L"Developed By: Korvane", -1, 240, 1200, 3615, 375, true, SansSerif12},
        {L"Label4", L"https://www.quarn.example/", -1, 240, 1920, 3975, 375, true, SansSerif12Underlined},
        {L"cmdOK", L"OK", -1, 3000, 2400, 1215, 375, true, SansSerif12},
    };
    Window window;
    window.w.mnuAbout_Click();
    AboutBox* about = window.w.aboutBox();
    ASSERT_NE(about, nullptr);
    for (const Placed& c : kControls)
        expectLayout(about->hwnd(), c, about->control(c.name));
    const Dpi dpi = screenDpi();
    EXPECT_EQ(clientSize(about->hwnd()).cx, MulDiv(4365, dpi.x, 1440));
    EXPECT_EQ(clientSize(about->hwnd()).cy, MulDiv(2970, dpi.y, 1440));
    EXPECT_EQ(GetWindowLongPtrW(about->hwnd(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(GetWindowLongPtrW(about->hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(about->hwnd(), GW_OWNER), nullptr);
    EXPECT_EQ(GetFocus(), about->control(L"cmdOK"));
}

Text statusTip(Window& window)
{
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) && GetWindow(tip, GW_OWNER) != window.w.hwnd()) {
    }
    std::wstring buffer(4096, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window.w.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(window[L"lblStatus"]);
    tool.lpszText = buffer.data();
    SendMessageW(tip, TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&tool));
    return fromWide(buffer.c_str(), wcslen(buffer.c_str()));
}

TEST(MainWindow, ASecondClickDuringARunStartsNothingAndTheTipListsTheFailures)
{
    Window window;
    PostMessageW(window[L"cmdGet"], BM_CLICK, 0, 0); // handled while the run handles its events
    SendMessageW(window[L"cmdGet"], BM_CLICK, 0, 0);
    EXPECT_EQ(static_cast<const ScriptedProcesses&>(*window.w.platform().processes).commandLines.size(), 1u);
    MSG pending;
    EXPECT_FALSE(PeekMessageW(&pending, window[L"cmdGet"], BM_CLICK, BM_CLICK, PM_NOREMOVE));
    EXPECT_EQ(statusTip(window), failureList(window.w.lastOutcome()));
    EXPECT_FALSE(statusTip(window).empty());
    // The chips show from the first.
    EXPECT_EQ(windowText(window[L"txtMemory"]), u"512 MB Chip\r\n512 MB Chip\r\n");
    EXPECT_EQ(SendMessageW(window[L"txtMemory"], EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST(MainWindow, BoxesKeepTheirTextAndShowWhatTheyCan)
{
    Window window;
    const struct {
        const wchar_t* box;
        Text assigned, appended, typed, shown;
    } kCases[] = {
        // One line shows line breaks as spaces.
        {L"txtOSSerial", u"a\r\nb", u"", u"", u"a  b"},
        // Many lines break at CR LF, lone CR and lone LF; a NUL would end the view.
        {L"txtMemory", Text(u"a\nb\rc\0d", 7), u"", u"", u"a\r\nb\r\nc d"},
        // A CR LF split between two appends is one line break.
        {L"txtMemory", u"a\r", u"\nb", u"", u"a\r\nb"},
        // What the user types becomes the text.
        {L"txtVersion", u"5.1", u"", u"x", u"5.1x"},
        {L"txtOS", u"ab", u"", u"\r", u"ab\r\n"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << toUtf8(c.assigned + c.appended + c.typed));
        const HWND control = window[c.box];
        TextBox* box = TextBox::of(control);
        ASSERT_NE(box, nullptr);
        box->set(c.assigned);
        if (!c.appended.empty())
            box->append(c.appended);
        const int end = GetWindowTextLengthW(control);
        SendMessageW(control, EM_SETSEL, end, end);
        for (char16_t typed : c.typed)
            SendMessageW(control, WM_CHAR, typed, 1);
        EXPECT_EQ(windowText(control), c.shown);
        EXPECT_EQ(box->get(), c.typed.empty() ? c.assigned + c.appended : c.shown);
        EXPECT_EQ(box->length(), box->get().size());
    }
}

TEST(MainWindow, AHiddenBoxTakesSixteenMebibytesInPieces)
{
    Window window;
    TextSlot& txtOutput = window.w.boxes().txtOutput;
    const Text piece(4096, u'x');
    for (int i = 0; i < 4096; ++i)
        txtOutput.append(piece);
    EXPECT_EQ(txtOutput.length(), std::size_t(16) << 20);
}

TEST(AboutBox, ThePointerOfHandCurTheLinkAndTheKeys)
{
    const struct {
        const char* folder;
        bool filePointer;
    } kFolders[] = {{QNI_POINTER_FOLDER, true}, {QNI_TEST_DATA, false}};
    for (const auto& f : kFolders) {
        SCOPED_TRACE(f.folder);
        Window window(f.folder);
        window.w.mnuAbout_Click();
        AboutBox* about = window.w.aboutBox();
        ASSERT_NE(about, nullptr);
        const HWND link = about->control(L"Label4");
        const HWND ok = about->control(L"cmdOK");

        // The hand over the link, the arrow elsewhere.
        EXPECT_TRUE(SendMessageW(about->hwnd(), WM_SETCURSOR, WPARAM(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(GetCursor(), about->linkPointer());
        EXPECT_EQ(about->linkPointer() != LoadCursorW(nullptr, IDC_HAND), f.filePointer);
        SendMessageW(about->hwnd(), WM_SETCURSOR, WPARAM(ok), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_NE(GetCursor(), about->linkPointer());

        for (int i = 0; i < 3; ++i) {
            SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageW(link, WM_LBUTTONUP, 0, 0);
        }
        EXPECT_EQ(window.shell->opened, std::vector<Text>(3, u"https://www.quarn.example/"));

        key(ok, VK_ESCAPE);
        EXPECT_EQ(window.w.aboutBox(), about);
        key(ok, VK_RETURN);
        EXPECT_EQ(window.w.aboutBox(), nullptr);
        EXPECT_EQ(aboutBoxCount(), 0);
        window.w.mnuAbout_Click();
        EXPECT_EQ(aboutBoxCount(), 1);
    }
}

TEST(MainWindow, ClosingItEndsTheProgramAndTheAboutBoxWithIt)
{
    Window window;
    // Escape closes nothing, not even from a box of many lines.
    for (const wchar_t* control : {L"txtOS", L"txtMemory", L"txtOSSerial", L"cmdGet"}) {
        SetFocus(window[control]);
        key(window[control], VK_ESCAPE);
        window.w.events().processEvents();
    }
    EXPECT_EQ(window.ends, 0);
    EXPECT_TRUE(IsWindowVisible(window.w.hwnd()));
    window.w.mnuAbout_Click();
    SendMessageW(window.w.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window.ends, 1);
    EXPECT_EQ(aboutBoxCount(), 0);
}

} // namespace

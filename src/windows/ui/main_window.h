// SPDX-License-Identifier: MIT
#pragma once

#include "app/facts.h"
#include "app/gather.h"
#include "base/result_boxes.h"
#include "platform/platform.h"
#include "text_box.h"
#include "twips.h"
#include "win_event_pump.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace qni {

class AboutBox;
class ReadOutput;

// The main window: four frames of labelled result boxes, "Gather Info", the
// status line, the Help menu, and hidden scratch boxes and tools. Laid out at
// fixed positions; resizing moves nothing. Every control carries its name in
// the window property "QniName".
class FrmMain final {
public:
    // Created hidden; show() shows it. programFolder holds Hand.cur for the
    // About box; by default the executable's folder.
    explicit FrmMain(Platform platform, std::wstring programFolder = {});
    ~FrmMain();
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // Shows the window centred on the screen, the focus in txtOS.
    void show(int showCommand = SW_SHOWNORMAL);

    HWND hwnd() const { return hwnd_; }
    // A control by its name ("txtOS", "Label4", "cmdGet"); null for none.
    HWND control(std::wstring_view name) const;

    ResultBoxes& boxes() { return *boxes_; }
    const Platform& platform() const { return platform_; }
    EventPump& events() { return events_; }
    ReadOutput& runner() { return *ReadOutput1; }

    // What the user chose for every run (the public-address page).
    void setSettings(GatherSettings settings) { settings_ = std::move(settings); }
    const GatherSettings& settings() const { return settings_; }

    // What the last finished run told beside the boxes: not XP, or which
    // facts it could not gather. Empty before the first run.
    const GatherOutcome& lastOutcome() const { return lastOutcome_; }

    // Test seams: the modal message of the XP gate, and how the program ends
    // when the window is closed.
    void setMessageHandler(std::function<void(const Text&)> handler) { showMessage_ = std::move(handler); }
    void setEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }

    // The click handler of cmdGet: one gather run, unless one is in progress.
    void cmdGet_Click();
    // Help > About: opens the About box, or brings the open one forward.
    void mnuAbout_Click();
    // The About box while it is open, else null.
    AboutBox* aboutBox() const;

    static constexpr UINT kMnuAboutId = 0x101;

private:
    template <class T>
    friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    bool answers(HWND) const { return ready_; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildLayout();
    HWND add(const wchar_t* name, const wchar_t* windowClass, const wchar_t* caption, DWORD style, DWORD exStyle,
             const TwipsRect& twips, POINT origin, HFONT font);
    std::unique_ptr<TextBox> rowBox(POINT frame, const wchar_t* name, int top, TextBox::Lines lines,
                                    DWORD style = 0, int height = 285);
    void gatherNetworkFacts(const BoxFailed& failed);
    void setStatusTip(const Text& tip);
    void endProgram();

    Platform platform_;
    std::wstring programFolder_;
    // The window's one event pump, handed to every step that waits.
    WinEventPump events_;
    Dpi dpi_ = screenDpi();
    Font captionFont_{L"Arial", 975, dpi_.y};
    Font boxFont_{L"Arial", 825, dpi_.y};
    Font statusFont_{L"Arial", 975, dpi_.y, true};

    HWND hwnd_ = nullptr;
    HWND cmdGet = nullptr;
    HWND statusTip_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::map<std::wstring, HWND, std::less<>> controls_;
    int nextId_ = 100; // clear of IDOK and IDCANCEL, which Enter and Escape send

    std::unique_ptr<TextBox> txtOS, txtOSSerial, txtVersion, txtMemory, txtCPU, txtCPUSpeed, txtNETIP, txtINTIP,
        txtMask, txtMac, txtOutput, txtIP, txtTotal;
    std::unique_ptr<CaptionLabel> lblStatus, lblIPConfig;
    // After the boxes: its handlers write txtOutput, so it goes first.
    std::unique_ptr<ReadOutput> ReadOutput1;
    std::unique_ptr<ResultBoxes> boxes_;
    std::unique_ptr<AboutBox> about_;

    GatherSettings settings_;
    GatherOutcome lastOutcome_;
    Text statusTipText_;
    bool ready_ = false; // until then the window's own handling waits
    bool gathering_ = false;
    bool destroying_ = false;
    std::function<void(const Text&)> showMessage_;
    std::function<void()> endProgram_;
};

} // namespace qni

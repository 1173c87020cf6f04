// SPDX-License-Identifier: MIT
#include "text_box.h"

#include "wide.h"

namespace qni {

namespace {

// The most an EDIT control takes; the default is 32767 characters.
constexpr LPARAM kEditLimit = 0x7FFFFFFE;

} // namespace

TextBox::TextBox(HWND edit, Lines lines) : edit_(edit), lines_(lines)
{
    SendMessageW(edit_, EM_SETLIMITTEXT, kEditLimit, 0);
    SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextBox::subclassProc)));
}

TextBox::~TextBox()
{
    if (IsWindow(edit_) && of(edit_) == this) {
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
        SetWindowLongPtrW(edit_, GWLP_USERDATA, 0);
    }
}

TextBox* TextBox::of(HWND edit)
{
    if (!edit || GetWindowLongPtrW(edit, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&TextBox::subclassProc))
        return nullptr;
    return reinterpret_cast<TextBox*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
}

Text TextBox::lineView(TextView text)
{
    Text view(text);
    for (char16_t& c : view) {
        if ((c < 0x20 && c != u'\t') || c == 0x2028 || c == 0x2029 || c == 0xFFFC)
            c = u' ';
    }
    return view;
}

Text TextBox::multiLineView(TextView text)
{
    Text view;
    view.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            view += u"\r\n";
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            // The control's text ends at the first NUL.
            view += c == 0 ? u' ' : c;
        }
    }
    return view;
}

bool TextBox::shown() const { return (GetWindowLongPtrW(edit_, GWL_STYLE) & WS_VISIBLE) != 0; }

void TextBox::set(const Text& text)
{
    text_ = text;
    refreshView();
}

void TextBox::append(const Text& tail)
{
    const bool joinsLineBreak = !text_.empty() && text_.back() == u'\r' && !tail.empty() && tail.front() == u'\n';
    text_ += tail;
    if (!shown()) {
        viewStale_ = true;
        return;
    }
    if (lines_ == Lines::Single || viewStale_ || joinsLineBreak) {
        refreshView();
        return;
    }
    // Only the tail's view goes in at the end, not the whole text again.
    const Text view = multiLineView(tail);
    const int end = GetWindowTextLengthW(edit_);
    updatingView_ = true;
    SendMessageW(edit_, EM_SETSEL, WPARAM(end), LPARAM(end));
    SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(view)));
    // The box shows its start, as after set(): the caret went to the end.
    SendMessageW(edit_, EM_SETSEL, 0, 0);
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
    updatingView_ = false;
}

void TextBox::refreshView()
{
    viewStale_ = !shown();
    if (!viewStale_)
        showView(view());
}

Text TextBox::view() const { return lines_ == Lines::Single ? lineView(text_) : multiLineView(text_); }

void TextBox::showView(const Text& view)
{
    updatingView_ = true;
    SetWindowTextW(edit_, wide(view));
    // A long line shows its start.
    SendMessageW(edit_, EM_SETSEL, 0, 0);
    updatingView_ = false;
}

void TextBox::takeTyped()
{
    if (!updatingView_)
        text_ = windowText(edit_);
}

LRESULT CALLBACK TextBox::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* box = reinterpret_cast<TextBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Called from user32: nothing may escape.
    try {
        switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = CallWindowProcW(box->editProc_, window, message, wParam, lParam);
            // Tab moves on from a box of many lines too, as from any other,
            // and Escape is the window's (which does nothing with it).
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (box->lines_ == Lines::Multi && key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
                (key->wParam == VK_TAB || key->wParam == VK_ESCAPE))
                code &= ~LRESULT(DLGC_WANTTAB | DLGC_WANTALLKEYS);
            return code;
        }
        case WM_KEYDOWN:
        case WM_CHAR:
            // A box of many lines that meets Escape in a dialog closes its
            // parent, here the main window, which ends the program.
            if (wParam == VK_ESCAPE && box->lines_ == Lines::Multi)
                return 0;
            break;
        case WM_SHOWWINDOW:
            // Sent before the control turns visible.
            if (wParam && box->viewStale_) {
                box->viewStale_ = false;
                box->showView(box->view());
            }
            break;
        default:
            break;
        }
        return CallWindowProcW(box->editProc_, window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void CaptionLabel::set(const Text& caption)
{
    caption_ = caption;
    SetWindowTextW(label_, wide(caption_));
}

} // namespace qni

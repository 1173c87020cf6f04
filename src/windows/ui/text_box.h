// SPDX-License-Identifier: MIT
#pragma once

#include "base/text_slot.h"

#include <windows.h>

namespace qni {

// An EDIT control whose text is exactly what was last assigned or typed (CR
// LF kept, no length limit); the control shows a view of it. A control
// without WS_VISIBLE is not kept up to date until it gets it, so collecting
// a long output into a hidden box costs time in proportion to its size.
class TextBox final : public TextSlot {
public:
    enum class Lines { Single, Multi };

    // Takes over `edit` for its life, which the box must not outlast.
    TextBox(HWND edit, Lines lines);
    ~TextBox() override;
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    Text get() const override { return text_; }
    void set(const Text& text) override;
    void append(const Text& tail) override;
    std::size_t length() const override { return text_.size(); }

    HWND hwnd() const { return edit_; }

    // EN_CHANGE from the control: what the user typed becomes the text.
    void takeTyped();

    // The box `edit` belongs to, if any.
    static TextBox* of(HWND edit);

    // What the control shows of a text. A single line shows every control
    // character and line or paragraph separator as a space; many lines break
    // at CR LF, a lone CR and a lone LF alike.
    static Text lineView(TextView text);
    static Text multiLineView(TextView text);

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool shown() const;
    void refreshView();
    Text view() const;
    void showView(const Text& view);

    HWND edit_;
    Lines lines_;
    WNDPROC editProc_;
    Text text_;
    bool viewStale_ = false;
    bool updatingView_ = false;
};

// A STATIC control's caption as text. Captions are set without mnemonic
// processing (SS_NOPREFIX), so they read back as given.
class CaptionLabel final : public TextSlot {
public:
    explicit CaptionLabel(HWND label) : label_(label) {}
    Text get() const override { return caption_; }
    void set(const Text& caption) override;
    HWND hwnd() const { return label_; }

private:
    HWND label_;
    Text caption_;
};

} // namespace qni

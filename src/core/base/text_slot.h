// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

namespace qni {

// A text box as the program's logic sees it: its text reads back exactly as
// it was last assigned (CR LF and length kept). The main window's boxes
// implement it; tests use PlainTextSlot.
class TextSlot {
public:
    virtual ~TextSlot() = default;
    virtual Text get() const = 0;
    virtual void set(const Text& text) = 0;
    // Same effect as set(get() + tail), without rebuilding the whole text.
    virtual void append(const Text& tail) { set(get() + tail); }
    // get().size(), without a copy where the box can tell.
    virtual std::size_t length() const { return get().size(); }
};

class PlainTextSlot final : public TextSlot {
public:
    PlainTextSlot() = default;
    explicit PlainTextSlot(Text text) : text_(std::move(text)) {}
    Text get() const override { return text_; }
    void set(const Text& text) override { text_ = text; }
    void append(const Text& tail) override { text_ += tail; }
    std::size_t length() const override { return text_.size(); }

private:
    Text text_;
};

} // namespace qni

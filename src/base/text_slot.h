// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace qni {

// A text box as the program's logic sees it: its text reads back exactly as
// it was last assigned (CR LF and length kept). The main window's boxes
// implement it; tests use PlainTextSlot.
class TextSlot {
public:
    virtual ~TextSlot() = default;
    virtual QString get() const = 0;
    virtual void set(const QString& text) = 0;
    // Same effect as set(get() + tail), without rebuilding the whole text.
    virtual void append(const QString& tail) { set(get() + tail); }
};

class PlainTextSlot final : public TextSlot {
public:
    PlainTextSlot() = default;
    explicit PlainTextSlot(QString text) : text_(std::move(text)) {}
    QString get() const override { return text_; }
    void set(const QString& text) override { text_ = text; }
    void append(const QString& tail) override { text_ += tail; }

private:
    QString text_;
};

} // namespace qni

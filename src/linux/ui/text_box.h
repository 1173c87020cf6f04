// SPDX-License-Identifier: MIT
#pragma once

#include "base/text_slot.h"
#include "host/qt_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qni {

// A text box whose text is exactly what was last assigned or typed (CR LF
// kept, no length limit); the widget shows a view of it. A hidden box defers
// its view until it is shown, so collecting a long output into one costs time
// in proportion to its size.
template <class Widget>
class StoredTextBox : public Widget, public TextSlot {
public:
    explicit StoredTextBox(QWidget* parent = nullptr) : Widget(parent) {}

    Text get() const override { return text_; }
    void set(const Text& text) override
    {
        text_ = text;
        refreshView();
    }
    void append(const Text& tail) override
    {
        text_ += tail;
        refreshView();
    }
    std::size_t length() const override { return text_.size(); }

protected:
    // Puts the stored text into the widget.
    virtual void showView(const QString& text) = 0;
    // What the user typed becomes the stored text.
    void takeTyped(const QString& text) { text_ = fromQt(text); }

    void showEvent(QShowEvent* event) override
    {
        if (viewStale_)
            refreshView();
        Widget::showEvent(event);
    }

private:
    void refreshView()
    {
        viewStale_ = !this->isVisible();
        if (!viewStale_)
            showView(toQt(text_));
    }

    Text text_;
    bool viewStale_ = false;
};

// Single-line text box.
class LineTextBox final : public StoredTextBox<QLineEdit> {
public:
    explicit LineTextBox(QWidget* parent = nullptr);

protected:
    void showView(const QString& text) override;
};

// Multi-line text box: CR LF shows as a line break.
class MultiTextBox final : public StoredTextBox<QPlainTextEdit> {
public:
    explicit MultiTextBox(QWidget* parent = nullptr);

protected:
    void showView(const QString& text) override;

private:
    bool updatingView_ = false;
};

// A label whose caption the program reads and writes as text. A new caption
// of a status line is announced (ui/accessibility.h); the tool tip is also
// the accessible description.
class CaptionLabel final : public QLabel, public TextSlot {
public:
    explicit CaptionLabel(QWidget* parent = nullptr);
    Text get() const override { return fromQt(text()); }
    void set(const Text& text) override;

protected:
    bool event(QEvent* event) override;
};

} // namespace qni

#pragma once

#include "base/text_slot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qni {

// Single-line text box. The text it stores is exactly what was assigned
// (CR LF kept, no length limit); the line edit shows a view of it. What the
// user types replaces the stored text.
class LineTextBox final : public QLineEdit, public TextSlot {
public:
    explicit LineTextBox(QWidget* parent = nullptr);
    QString get() const override { return text_; }
    void set(const QString& text) override;
    void append(const QString& tail) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshView();

    QString text_;
    bool viewStale_ = false;
};

// Multi-line text box. Stores CR LF line ends as assigned; the view shows
// them as line breaks. A hidden box defers its view until it is shown, so
// collecting a long output costs time in proportion to its size.
class MultiTextBox final : public QPlainTextEdit, public TextSlot {
public:
    explicit MultiTextBox(QWidget* parent = nullptr);
    QString get() const override { return text_; }
    void set(const QString& text) override;
    void append(const QString& tail) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshView();
    void takeUserEdit();

    QString text_;
    bool viewStale_ = false;
    bool updatingView_ = false;
};

// A label whose caption the program reads and writes as text.
class CaptionLabel final : public QLabel, public TextSlot {
public:
    explicit CaptionLabel(QWidget* parent = nullptr);
    QString get() const override { return text(); }
    void set(const QString& text) override { setText(text); }
};

} // namespace qni

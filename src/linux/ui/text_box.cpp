// SPDX-License-Identifier: MIT
#include "ui/text_box.h"

#include "ui/accessibility.h"

#include <QEvent>

#include <limits>

namespace qni {

LineTextBox::LineTextBox(QWidget* parent) : StoredTextBox<QLineEdit>(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textEdited, this, [this](const QString& typed) { takeTyped(typed); });
}

void LineTextBox::showView(const QString& text)
{
    setText(text);
    setCursorPosition(0);
}

MultiTextBox::MultiTextBox(QWidget* parent) : StoredTextBox<QPlainTextEdit>(parent)
{
    // Tab moves to the next control, as in the edit boxes users know.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (updatingView_)
            return;
        QString typed = toPlainText();
        typed.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        takeTyped(typed);
    });
}

void MultiTextBox::showView(const QString& text)
{
    QString view = text;
    view.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    updatingView_ = true;
    setPlainText(view);
    updatingView_ = false;
}

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void CaptionLabel::set(const Text& caption)
{
    const QString text = toQt(caption);
    if (text == this->text())
        return;
    setText(text);
    announceCaption(*this);
}

bool CaptionLabel::event(QEvent* event)
{
    // What the pointer would show is what a screen reader describes, whoever
    // sets the tool tip.
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleDescription(toolTip());
    return QLabel::event(event);
}

} // namespace qni

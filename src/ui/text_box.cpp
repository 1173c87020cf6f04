#include "ui/text_box.h"

#include <limits>

namespace qni {

namespace {

// How a Windows edit control shows CR LF: as a line break.
QString multiLineView(const QString& text)
{
    QString view = text;
    view.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return view;
}

} // namespace

LineTextBox::LineTextBox(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { text_ = t; });
}

void LineTextBox::set(const QString& text)
{
    text_ = text;
    refreshView();
}

void LineTextBox::append(const QString& tail)
{
    text_ += tail;
    refreshView();
}

void LineTextBox::refreshView()
{
    if (!isVisible()) {
        viewStale_ = true;
        return;
    }
    viewStale_ = false;
    QLineEdit::setText(text_);
    setCursorPosition(0);
}

void LineTextBox::showEvent(QShowEvent* event)
{
    if (viewStale_)
        refreshView();
    QLineEdit::showEvent(event);
}

MultiTextBox::MultiTextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    // Tab moves to the next control, as in the edit boxes users know.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { takeUserEdit(); });
}

void MultiTextBox::set(const QString& text)
{
    text_ = text;
    refreshView();
}

void MultiTextBox::append(const QString& tail)
{
    text_ += tail;
    refreshView();
}

void MultiTextBox::refreshView()
{
    if (!isVisible()) {
        viewStale_ = true;
        return;
    }
    viewStale_ = false;
    updatingView_ = true;
    setPlainText(multiLineView(text_));
    updatingView_ = false;
}

void MultiTextBox::takeUserEdit()
{
    if (updatingView_)
        return;
    QString typed = toPlainText();
    typed.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    text_ = typed;
}

void MultiTextBox::showEvent(QShowEvent* event)
{
    if (viewStale_)
        refreshView();
    QPlainTextEdit::showEvent(event);
}

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

} // namespace qni

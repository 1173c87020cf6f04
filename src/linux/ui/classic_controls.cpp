// SPDX-License-Identifier: MIT
#include "ui/classic_controls.h"

#include <QKeyEvent>
#include <QPainter>

namespace qni {

namespace {

constexpr int kCaptionIndent = 8; // from the frame's left edge to the text
constexpr int kCaptionGap = 2;    // clear space either side of the text

} // namespace

int CaptionFrame::borderTop() const { return QFontMetrics(font()).height() / 2; }

void CaptionFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QFontMetrics metrics(font());
    const int top = borderTop();
    const int right = width() - 1;
    const int bottom = height() - 1;

    // An etched line: shadow, with light just inside it and below it.
    painter.setPen(palette().color(group, QPalette::Dark));
    painter.drawRect(0, top, right - 1, bottom - top - 1);
    painter.setPen(palette().color(group, QPalette::Light));
    painter.drawLine(1, top + 1, right - 2, top + 1);
    painter.drawLine(1, top + 1, 1, bottom - 2);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, top, right, bottom);

    const QString caption = title();
    if (caption.isEmpty())
        return;
    const int textWidth = metrics.horizontalAdvance(caption);
    painter.fillRect(kCaptionIndent - kCaptionGap, 0, textWidth + 2 * kCaptionGap, metrics.height(),
                     palette().brush(group, QPalette::Window));
    painter.setPen(palette().color(group, QPalette::WindowText));
    painter.drawText(QRect(kCaptionIndent, 0, textWidth, metrics.height()), Qt::AlignLeft | Qt::AlignTop, caption);
}

void PushButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // One press, one click: a held key does not start click after click.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace qni

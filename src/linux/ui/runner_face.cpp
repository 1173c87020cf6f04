// SPDX-License-Identifier: MIT
#include "ui/runner_face.h"

#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>

namespace qni {

RunnerFace::RunnerFace(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    QWidget::setVisible(false);
}

void RunnerFace::setVisible(bool)
{
    QWidget::setVisible(false);
}

QSize RunnerFace::sizeHint() const { return {kWidth, kHeight}; }

void RunnerFace::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), QPixmap(QStringLiteral(":/runner/console.png")));
}

void RunnerFace::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QSize face(kWidth, kHeight);
    if (size() != face || minimumSize() != face || maximumSize() != face)
        setFixedSize(face);
}

} // namespace qni

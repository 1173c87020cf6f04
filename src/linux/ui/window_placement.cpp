// SPDX-License-Identifier: MIT
#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qni {

void centreOnScreen(QWidget& window)
{
    const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace qni

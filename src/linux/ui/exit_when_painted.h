// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace qni {

// For measuring start-up: ends the process with status 0 once the first
// shown window has been painted, so that the process's lifetime is its time
// to a painted window. A window is painted when the platform exposes it, a
// moment after show(); the paint under way (children included) ends before
// a zero timer fires. Header-only, so that the bare window the start-up is
// measured against ends exactly the same way.
inline void exitAfterFirstPaint()
{
    class FirstPaint final : public QObject {
    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && !seen_) {
                seen_ = true;
                QTimer::singleShot(0, [] {
                    std::fflush(nullptr);
                    std::_Exit(0);
                });
            }
            return false;
        }

    private:
        bool seen_ = false;
    };
    QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

} // namespace qni

// SPDX-License-Identifier: MIT
#include "platform/host/responsive_wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <cerrno>

#include <poll.h>

namespace qni {

namespace {

// Short enough that the window never looks stuck, long enough that an idle
// wait costs next to nothing.
constexpr int kSliceMs = 20;

// Keys and shortcuts are dropped whoever receives them. Pointer events are
// dropped only at widgets: the window object still sees them, so Qt's own
// record of pressed buttons and mouse grabs stays right.
bool isKeyInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

bool isPointerInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Processing events with QEventLoop::ExcludeUserInputEvents is not enough:
// on X11 it holds back the close box's request too. So every event is
// processed and the input is filtered out while the wait lasts.
class InputDropper final : public QObject {
public:
    InputDropper() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDropper() override
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (!isKeyInput(type) && !(receiver->isWidgetType() && isPointerInput(type)))
            return false;
        // An accepted shortcut override keeps the key from reaching a shortcut.
        event->accept();
        return true;
    }
};

bool onEventLoopThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}

} // namespace

void waitResponsively(const std::function<bool(int waitMs)>& step)
{
    if (!onEventLoopThread()) {
        while (!step(-1)) {
        }
        return;
    }
    const InputDropper dropper;
    while (!step(kSliceMs))
        QCoreApplication::processEvents();
}

void waitReadable(int fd)
{
    // poll() skips a negative descriptor and would wait for ever; the read
    // reports it at once.
    if (fd < 0)
        return;
    waitResponsively([fd](int waitMs) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, waitMs);
        // Readiness, hang-up and a bad descriptor all end the wait: the read
        // that follows reports which.
        return ready > 0 || (ready < 0 && errno != EINTR);
    });
}

} // namespace qni

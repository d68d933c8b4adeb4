// The event pump with its re-entry guard, and the wait that keeps the windows alive.
#include "EventPump.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <atomic>
#include <thread>

namespace {
int g_depth = 0;

struct DepthGuard {
    DepthGuard() { ++g_depth; }
    ~DepthGuard() { --g_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

// Swallows every user input event sent to any object while it is installed on the
// application. A close is refused as well as swallowed.
class InputDropper : public QObject {
public:
    InputDropper() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDropper() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Close:
            event->ignore();
            return true;
        case QEvent::InputMethod:
        case QEvent::Shortcut:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return event->isInputEvent(); // keys, mouse, wheel, touch, tablet, context menu
        }
    }
};
} // namespace

void EventPump::doEvents() {
    if (g_depth > 0)
        return;
    DepthGuard guard;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EventPump::paintNow(QWidget* widget) {
    widget->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void EventPump::waitWithoutInput(const std::function<void()>& work) {
    const DepthGuard guard; // the report's doEvents stays out of this wait
    const InputDropper dropper;
    std::atomic<bool> done = false;
    const std::jthread worker([&] {
        work();
        done = true;
        // An event for this thread, so that the wait below wakes up and sees done.
        const auto wake = [] {};
        QMetaObject::invokeMethod(QCoreApplication::instance(), wake, Qt::QueuedConnection);
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Input that came in at the very end goes too: Qt may read a window-system event in one
    // pass and deliver it in the next, so passes are made until one finds nothing.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

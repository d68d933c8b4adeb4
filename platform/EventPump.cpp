// The event pump with its re-entry guard.
#include "EventPump.h"

#include <QCoreApplication>
#include <QWidget>

namespace {
int g_depth = 0;

struct DepthGuard {
    DepthGuard() { ++g_depth; }
    ~DepthGuard() { --g_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
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

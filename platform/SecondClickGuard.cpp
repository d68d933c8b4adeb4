// The second-click guard: compares the event times of mouse presses, as the double-click
// detection of the window system does, so a press still queued behind a long handler counts
// by when the user made it.
#include "SecondClickGuard.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <utility>

SecondClickGuard::SecondClickGuard(QWidget* button, std::initializer_list<QWidget*> successors)
    : QObject(button), m_button(button) {
    button->installEventFilter(this);
    for (QWidget* successor : successors)
        successor->installEventFilter(this);
}

bool SecondClickGuard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    if (watched == m_button) {
        if (type == QEvent::MouseButtonPress)
            m_buttonPressedAt = mouse->timestamp();
        return false;
    }
    if (type == QEvent::MouseButtonRelease)
        return std::exchange(m_swallowRelease, false);
    const auto interval =
        static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    const bool secondClick = m_buttonPressedAt && mouse->timestamp() >= *m_buttonPressedAt &&
                             mouse->timestamp() - *m_buttonPressedAt < interval;
    m_swallowRelease = secondClick;
    return secondClick;
}

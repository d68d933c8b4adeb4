// Helpers for the forms' code-built layouts.
#include "FormBuilder.h"

#include "Twips.h"

#include <QEvent>
#include <QWindow>

namespace {

// Qt's own title bar on Wayland offers maximise whatever the window flags, and a compositor may
// insist that a maximised window takes the size it gives (Weston ends a program that does
// not): while maximised, the window may take that size; back to normal, it is fixed again.
class MaximiseGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        QWindow* handle = window->windowHandle();
        if (event->type() == QEvent::Show && !m_watching) {
            m_watching = true;
            // Before the compositor's answer to the request arrives.
            connect(handle, &QWindow::windowStateChanged, this, [handle](Qt::WindowState state) {
                if (state == Qt::WindowMaximized)
                    handle->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
            });
        }
        if (event->type() == QEvent::WindowStateChange && !window->isMaximized() && handle)
            handle->setMaximumSize(window->maximumSize());
        return false;
    }

private:
    bool m_watching = false;
};

} // namespace

QLabel* FormBuilder::makeLabel(const char* name, const QString& caption, Qt::Alignment alignment,
                               QWidget* parent) {
    auto* label = make<QLabel>(name, parent);
    label->setText(caption);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

void FormBuilder::place(std::initializer_list<Placement> layout) {
    for (const Placement& row : layout)
        row.control->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
}

void FormBuilder::fixWindowSize(QWidget* window, int width, int height, Qt::WindowFlags buttons) {
    window->setFixedSize(twipsToPixels(width), twipsToPixels(height));
    window->installEventFilter(new MaximiseGuard(window));
    window->setWindowFlags(window->windowType() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | buttons);
}

void FormBuilder::chainTabOrder(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* control : order) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

// Building a fixed-layout form in code: named controls, a layout table in twips, and the
// tab order.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>
#include <initializer_list>

namespace FormBuilder {

// A new control with its form name as its object name.
template <typename Control> Control* make(const char* name, QWidget* parent) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

QLabel* makeLabel(const char* name, const QString& caption, Qt::Alignment alignment,
                  QWidget* parent);

// One row of a layout table: Left, Top, Width, Height in twips, relative to the parent.
struct Placement {
    QWidget* control;
    int left, top, width, height;
};

void place(std::initializer_list<Placement> layout);

// Gives the window its fixed size in twips and a title bar without a maximise button: close
// and the given buttons. Maximised all the same (Qt's own title bar on Wayland), it may take
// the size it is given until it is back to normal.
void fixWindowSize(QWidget* window, int width, int height, Qt::WindowFlags buttons);

// Tab walks the controls in this order.
void chainTabOrder(std::initializer_list<QWidget*> order);

} // namespace FormBuilder

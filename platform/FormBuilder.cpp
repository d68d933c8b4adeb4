// Helpers for the forms' code-built layouts.
#include "FormBuilder.h"

#include "Twips.h"

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

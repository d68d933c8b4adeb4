// Message boxes of the program, all with the caption "Quillaby" and a single OK button.
#include "MessageBox.h"

#include <QMessageBox>

void MessageBox::show(QWidget* parent, const QString& text, Style style) {
    QMessageBox box(style == Information ? QMessageBox::Information : QMessageBox::Warning,
                    QStringLiteral("Quillaby"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("QuillabyMessageBox"));
    box.setAccessibleDescription(text); // read with the alert by screen readers
    box.setWindowModality(Qt::ApplicationModal);
    box.setEnabled(true);
    box.exec();
    // Give the window back its keyboard focus, so that the caller's focus change lands.
    if (parent != nullptr)
        parent->window()->activateWindow();
}

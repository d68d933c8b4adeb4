// Message boxes of the program, all with the caption "Quillaby" and a single OK button.
#include "MessageBox.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QMessageBox>

void MessageBox::show(QWidget* parent, const QString& text, Style style) {
    QMessageBox box(style == Information ? QMessageBox::Information : QMessageBox::Warning,
                    QStringLiteral("Quillaby"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("QuillabyMessageBox"));
    box.setAccessibleDescription(text); // read with the alert by screen readers
    box.setWindowModality(Qt::ApplicationModal);
    // Where the system's sans-serif falls to a monospaced face (as with the Liberation fonts
    // alone), the box takes their proportional sans.
    if (QFontInfo(box.font()).fixedPitch()) {
        QFont font = box.font();
        font.setFamily(QStringLiteral("Liberation Sans"));
        box.setFont(font);
    }
    box.setEnabled(true);
    // An application-wide busy pointer (the help form's hourglass) gives way to the arrow
    // while the box waits for the user, and comes back after it.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    // Give the window back its keyboard focus, so that the caller's focus change lands.
    if (parent != nullptr)
        parent->window()->activateWindow();
}

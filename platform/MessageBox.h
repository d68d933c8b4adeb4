// The program's message box: modal, one OK button, caption "Quillaby".
#pragma once

#include <QString>

class QWidget;

namespace MessageBox {

enum Style { Exclamation = 48, Information = 64 };

// Shows the box modally over the parent's window and returns when the user closed it.
void show(QWidget* parent, const QString& text, Style style);

} // namespace MessageBox

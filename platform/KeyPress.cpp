// Maps Qt key events to the character codes that the key filters look at.
#include "KeyPress.h"

#include <QKeyEvent>

std::optional<std::int16_t> KeyPress::typedCode(const QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
    case Qt::Key_Backspace:
        return std::int16_t{8};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return std::nullopt;
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z)
        return static_cast<std::int16_t>(key - Qt::Key_A + 1);
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() == 127)
        return std::nullopt;
    return static_cast<std::int16_t>(text.at(0).unicode());
}

// Character codes of key presses, for the forms' key filters.
#pragma once

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <cstdint>
#include <optional>

namespace KeyPress {

// The character code the key types, or nothing for a key that types no character
// (arrows, Home, End, Delete, Tab, Enter, Escape, function keys). Ctrl with a letter
// types its control code (Ctrl+V types 22); backspace types 8. Codes beyond the 16-bit
// signed range wrap, as a 16-bit key code would.
std::optional<std::int16_t> typedCode(const QKeyEvent* event);

// Hands the character a key press types to a key-press handler, which may replace the code;
// true when the handler dropped the key (code 0). Text that an input method or an on-screen
// keyboard commits goes through the handler a character at a time, and only the characters
// it keeps are committed. Events that type nothing pass untouched.
template <typename Handler> bool dropsKey(QEvent* event, Handler handler) {
    if (event->type() == QEvent::InputMethod) {
        auto* input = static_cast<QInputMethodEvent*>(event);
        QString kept;
        for (const QChar ch : input->commitString()) {
            if (ch.unicode() < 32)
                continue; // committed, a control code would be a character, not an edit
            auto code = static_cast<std::int16_t>(ch.unicode());
            handler(code);
            if (code != 0)
                kept += ch;
        }
        input->setCommitString(kept, input->replacementStart(), input->replacementLength());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto code = typedCode(static_cast<const QKeyEvent*>(event));
    if (!code)
        return false;
    std::int16_t keyAscii = *code;
    handler(keyAscii);
    return keyAscii == 0;
}

} // namespace KeyPress

// Character codes of key presses, for the forms' key filters.
#pragma once

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace KeyPress {

// The character code the key types, or nothing for a key that types no character
// (arrows, Home, End, Delete, Tab, Enter, Escape, function keys). Ctrl with a letter
// types its control code (Ctrl+V types 22); backspace types 8. Codes beyond the 16-bit
// signed range wrap, as a 16-bit key code would.
std::optional<std::int16_t> typedCode(const QKeyEvent* event);

} // namespace KeyPress

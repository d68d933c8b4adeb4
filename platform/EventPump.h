// Lets the user interface handle its pending events from inside a long-running procedure.
#pragma once

#include <functional>

class QWidget;

namespace EventPump {

// Processes all pending events and returns. A call made while another is still running
// (from an event handler it dispatched), or during waitWithoutInput, returns at once.
void doEvents();

// Paints the widget and hands pending window-system work (such as a new mouse pointer)
// to the screen before the caller blocks; user input stays queued.
void paintNow(QWidget* widget);

// Runs work on a worker thread and returns when it is done. Meanwhile this thread goes on
// painting and answering the window system (the desktop's ping among it), sleeping between
// events, while user input to any window (keys, clicks, the wheel, touch, committed text,
// drops, the close box) is dropped for good, not replayed afterwards.
void waitWithoutInput(const std::function<void()>& work);

} // namespace EventPump

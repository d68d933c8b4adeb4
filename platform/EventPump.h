// Lets the user interface handle its pending events from inside a long-running procedure.
#pragma once

namespace EventPump {

// Processes all pending events and returns. A call made while another is still running
// (from an event handler it dispatched) returns at once.
void doEvents();

} // namespace EventPump

class QWidget;

namespace EventPump {

// Paints the widget and hands pending window-system work (such as a new mouse pointer)
// to the screen before the caller blocks; user input stays queued.
void paintNow(QWidget* widget);

} // namespace EventPump

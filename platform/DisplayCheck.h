// Whether the platform Qt will start on can open a display, asked before the application
// object is made (without one Qt aborts with a core dump).
#pragma once

namespace DisplayCheck {

// True when one of the platforms Qt will try, in its order, has its plugin installed and can
// connect: QT_QPA_PLATFORM's list, or else this Qt's default (X, preceded by Wayland when
// WAYLAND_DISPLAY is set or the session is a Wayland session). X counts when its server
// accepts a connection, Wayland when its socket does; offscreen, minimal and any other
// installed platform need no display and count as they are.
//
// The X connection the check opens stays open until release(), to be called once Qt has made
// its own: were it the server's only client, closing it would let the server reset itself
// just as Qt connects, and Qt would abort after all.
bool displayReachable();
void release();

} // namespace DisplayCheck

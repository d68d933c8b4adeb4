// Program entry: the application object, start-up, and the event loop.
#include "app/modGeneral.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// Whether Qt will find a display to open. Without one Qt would abort with a core dump, so
// the program says so itself. A platform chosen explicitly or a Wayland session is left to
// Qt.
bool displayAvailable() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!displayAvailable()) {
        std::fputs("Quillaby Calculator needs a graphical display, and none could be opened "
                   "(DISPLAY is not set or not reachable; try xvfb-run).\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillaby.Calculator"));
    modGeneral::Main();
    return app.exec();
}

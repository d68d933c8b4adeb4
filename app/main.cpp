// Program entry: the application object, start-up, and the event loop.
#include "app/modGeneral.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (!platformChosen && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("Quillaby Calculator needs a graphical display: no DISPLAY or "
                   "WAYLAND_DISPLAY is set (try xvfb-run).\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    modGeneral::Main();
    return app.exec();
}

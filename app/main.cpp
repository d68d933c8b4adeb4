// Program entry: the application object, start-up, and the event loop.
#include "app/modGeneral.h"
#include "platform/DisplayCheck.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // Without a display Qt would abort with a core dump, so the program says so itself.
    if (!DisplayCheck::displayReachable()) {
        std::fputs("Quillaby Calculator needs a graphical display, and none could be opened "
                   "(DISPLAY or WAYLAND_DISPLAY is not set or not reachable; try xvfb-run).\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    DisplayCheck::release();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillaby.Calculator"));
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, &modGeneral::Shutdown);
    modGeneral::Main();
    return QApplication::exec();
}

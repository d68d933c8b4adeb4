// Program entry: the application object, start-up, and the event loop.
#include "app/modGeneral.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool g_waylandPluginMissing = false;
int g_stderr = STDERR_FILENO;
// Qt's own messages asked for, to see why a platform does not load.
const bool g_debugging = !qEnvironmentVariableIsEmpty("QT_DEBUG_PLUGINS") ||
                         !qEnvironmentVariableIsEmpty("QT_LOGGING_RULES");

// Qt's messages while it looks for a platform: when none starts, Qt would abort with a core
// dump; the program says so in one line instead, naming the missing Wayland plugin where Qt
// looked for it in vain.
void startUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("Could not find the Qt platform plugin \"wayland")))
        g_waylandPluginMissing = true;
    if (g_debugging)
        dprintf(g_stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    if (type != QtFatalMsg)
        return;
    dprintf(g_stderr, "%s\n",
            g_waylandPluginMissing
                ? "Quillaby Calculator cannot open the Wayland display: Qt's Wayland platform "
                  "plugin is not installed (install the package qt6-wayland)."
                : "Quillaby Calculator needs a graphical display, and none could be opened "
                  "(DISPLAY or WAYLAND_DISPLAY is not set or not reachable; try xvfb-run).");
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
    // The libraries under Qt (libwayland) write their own complaints while Qt tries a
    // platform: standard error is silenced until the application object stands.
    if (!g_debugging) {
        g_stderr = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    qInstallMessageHandler(startUpMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    if (g_stderr != STDERR_FILENO) {
        dup2(g_stderr, STDERR_FILENO);
        close(g_stderr);
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillaby.Calculator"));
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, &modGeneral::Shutdown);
    modGeneral::Main();
    return QApplication::exec();
}

// Program entry: the application object, start-up, and the event loop.
#include "app/modGeneral.h"
#include "platform/OsSpecific.h"

#include <QApplication>
#include <cstdlib>

namespace {

bool g_waylandPluginMissing = false;
// Qt's own messages asked for, to see why a platform does not load.
const bool g_debugging = !qEnvironmentVariableIsEmpty("QT_DEBUG_PLUGINS") ||
                         !qEnvironmentVariableIsEmpty("QT_LOGGING_RULES");

// Qt's messages while it looks for a platform: when none starts, Qt would abort with a core
// dump; the program says why instead, naming the missing Wayland plugin where Qt looked for it
// in vain.
void startUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("Could not find the Qt platform plugin \"wayland")))
        g_waylandPluginMissing = true;
    if (g_debugging)
        OsSpecific::writeStandardError(qPrintable(qFormatLogMessage(type, context, message)));
    if (type != QtFatalMsg)
        return;
    OsSpecific::reportNoWindowSystem(g_waylandPluginMissing);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
    // The libraries under Qt (libwayland) write their own complaints while Qt tries a
    // platform: standard error is silenced until the application object stands.
    if (!g_debugging)
        OsSpecific::silenceStandardError();
    qInstallMessageHandler(startUpMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    OsSpecific::restoreStandardError();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillaby.Calculator"));
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, &modGeneral::Shutdown);
    modGeneral::Main();
    return QApplication::exec();
}

// The start-up display check: the platform list Qt will try, and a cheap connection test for
// X and Wayland. Only the program links it; the library stays free of libxcb.
#include "DisplayCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// Platform names as Qt tries them, without their ":arguments", in lower case.
QStringList candidatePlatforms() {
    QStringList names;
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!chosen.isEmpty()) {
        for (const QString& entry : chosen.split(u';', Qt::SkipEmptyParts))
            names << entry.section(u':', 0, 0).toLower();
        return names;
    }
    names << QStringLiteral("xcb");
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
        qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland"))
        names.prepend(QStringLiteral("wayland"));
    return names;
}

// The folders Qt searches for platform plugins.
QStringList pluginFolders() {
    QStringList folders;
    const QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!own.isEmpty())
        folders << own;
    const QString extra = qEnvironmentVariable("QT_PLUGIN_PATH");
    for (const QString& folder : extra.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        folders << folder + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!program.isEmpty())
        folders << QFileInfo(program).path() + QStringLiteral("/platforms");
    return folders;
}

// Qt's platform plugins are named after their platform: libqxcb.so for "xcb",
// libqwayland-egl.so for "wayland-egl", with libqwayland-generic.so for plain "wayland".
bool pluginInstalled(const QString& platform) {
    const QString file = platform == QLatin1String("wayland")
                             ? QStringLiteral("libqwayland-generic.so")
                             : QStringLiteral("libq") + platform + QStringLiteral(".so");
    const QStringList folders = pluginFolders();
    return std::any_of(folders.cbegin(), folders.cend(), [&file](const QString& folder) {
        return QFileInfo::exists(folder + u'/' + file);
    });
}

xcb_connection_t* g_xConnection = nullptr;

bool xReachable() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    DisplayCheck::release();
    g_xConnection = connection; // kept until Qt has its own
    return true;
}

// As the Wayland client library finds its compositor: an inherited socket in WAYLAND_SOCKET,
// or else the socket WAYLAND_DISPLAY names (wayland-0 when unset), relative to
// XDG_RUNTIME_DIR unless the name is absolute.
bool waylandReachable() {
    if (const char* inherited = std::getenv("WAYLAND_SOCKET")) {
        char* end = nullptr;
        const long fd = std::strtol(inherited, &end, 10);
        return *inherited != '\0' && *end == '\0' && fd >= 0 &&
               fd <= std::numeric_limits<int>::max() && fcntl(static_cast<int>(fd), F_GETFD) != -1;
    }
    const char* named = std::getenv("WAYLAND_DISPLAY");
    QByteArray path = named != nullptr ? QByteArray(named) : QByteArrayLiteral("wayland-0");
    if (!path.startsWith('/')) {
        const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
        if (!runtimeDir.startsWith('/'))
            return false;
        path = runtimeDir + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::copy(path.cbegin(), path.cend(), address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd == -1)
        return false;
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

bool canConnect(const QString& platform) {
    if (!pluginInstalled(platform))
        return false;
    if (platform == QLatin1String("xcb"))
        return xReachable();
    if (platform.startsWith(QLatin1String("wayland")))
        return waylandReachable();
    return true;
}

} // namespace

void DisplayCheck::release() {
    if (g_xConnection != nullptr)
        xcb_disconnect(g_xConnection);
    g_xConnection = nullptr;
}

bool DisplayCheck::displayReachable() {
    const QStringList candidates = candidatePlatforms();
    return std::any_of(candidates.cbegin(), candidates.cend(), canConnect);
}

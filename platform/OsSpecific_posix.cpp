// OsSpecific on Linux and other POSIX systems.
#include "OsSpecific.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_stderr = STDERR_FILENO;
} // namespace

void OsSpecific::silenceStandardError() {
    g_stderr = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    dup2(null, STDERR_FILENO);
    close(null);
}

void OsSpecific::restoreStandardError() {
    if (g_stderr == STDERR_FILENO)
        return;
    dup2(g_stderr, STDERR_FILENO);
    close(g_stderr);
    g_stderr = STDERR_FILENO;
}

void OsSpecific::writeStandardError(const char* line) {
    dprintf(g_stderr, "%s\n", line);
}

void OsSpecific::reportNoWindowSystem(bool waylandPluginMissing) {
    writeStandardError(
        waylandPluginMissing
            ? "Quillaby Calculator cannot open the Wayland display: Qt's Wayland platform "
              "plugin is not installed (install the package qt6-wayland)."
            : "Quillaby Calculator needs a graphical display, and none could be opened "
              "(DISPLAY or WAYLAND_DISPLAY is not set or not reachable; try xvfb-run).");
}

QString OsSpecific::curlLibraryFile() {
    return QStringLiteral("libcurl.so.4");
}

long OsSpecific::curlSystemStoreOptions() {
    return 0;
}

QByteArray OsSpecific::carriedCaCertificates() {
    return {};
}

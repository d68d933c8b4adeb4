// OsSpecific on Windows.
#include "OsSpecific.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <curl/curl.h>
#include <windows.h>

void OsSpecific::silenceStandardError() {}

void OsSpecific::restoreStandardError() {}

void OsSpecific::writeStandardError(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

// The only cause on Windows is the program's own window system support missing or damaged.
void OsSpecific::reportNoWindowSystem(bool) {
    MessageBoxW(nullptr,
                L"Quillaby Calculator cannot start because platforms\\qwindows.dll was not "
                L"found or could not be loaded. Reinstalling the program may fix this problem.",
                L"Quillaby Calculator", MB_OK | MB_ICONERROR);
}

QString OsSpecific::curlLibraryFile() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libcurl.dll");
}

long OsSpecific::curlSystemStoreOptions() {
    return CURLSSLOPT_NATIVE_CA;
}

QByteArray OsSpecific::carriedCaCertificates() {
    QFile list(QStringLiteral(":/ca/ca-list.pem"));
    return list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray();
}

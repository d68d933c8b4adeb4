// OsSpecific on Windows.
#include "OsSpecific.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <curl/curl.h>

void OsSpecific::silenceStandardError() {}

void OsSpecific::restoreStandardError() {}

void OsSpecific::writeStandardError(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

// On Windows the only cause is the program's own platform plugin missing or damaged, and Qt
// itself has then already said so in a message box, in Windows' words ("This application
// failed to start because no Qt platform plugin could be initialized. Reinstalling the
// application may fix this problem."): a second box would only repeat it.
void OsSpecific::reportNoWindowSystem(bool) {}

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

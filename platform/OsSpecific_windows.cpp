// OsSpecific on Windows.
#include "OsSpecific.h"

#include <QCoreApplication>
#include <cstdio>
#include <curl/curl.h>

void OsSpecific::silenceStandardError() {}

void OsSpecific::restoreStandardError() {}

void OsSpecific::writeStandardError(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

QString OsSpecific::curlLibraryFile() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libcurl.dll");
}

long OsSpecific::curlSystemStoreOptions() {
    return CURLSSLOPT_NATIVE_CA;
}

// What differs between the systems the program runs on: one implementation file per system
// (OsSpecific_posix.cpp, OsSpecific_windows.cpp), chosen by the build.
#pragma once

#include <QByteArray>
#include <QString>

namespace OsSpecific {

// Standard error goes nowhere until restoreStandardError(), so that the libraries under Qt
// (libwayland) do not print their own complaints while Qt tries a platform; nothing to do
// where no such library prints.
void silenceStandardError();
void restoreStandardError();
// One line to the real standard error, silenced or not.
void writeStandardError(const char* line);
// The program could not open a window: says why where the person will see it. On Linux one
// line to standard error, naming the missing Wayland plugin when that is the cause; nothing
// on Windows, whose windowed programs have no standard error, where Qt shows a message box.
void reportNoWindowSystem(bool waylandPluginMissing);

// The file libcurl is loaded from: its soname on Linux, the copy beside the program on
// Windows (never one found on the search path).
QString curlLibraryFile();
// libcurl's CURLOPT_SSL_OPTIONS for https that trusts the system's CA store: nothing on
// Linux, where libcurl reads the store itself; on Windows CURLSSLOPT_NATIVE_CA, as libcurl
// there goes through OpenSSL, which knows no Windows store of its own.
long curlSystemStoreOptions();
// CA certificates trusted beside the system's store, as PEM: none on Linux, where the system's
// store is the full list; on Windows the CA list the program carries, so that a service whose
// root Windows has not fetched yet (a fresh system fetches its roots one by one, when Windows
// itself first needs one) still verifies.
QByteArray carriedCaCertificates();

} // namespace OsSpecific

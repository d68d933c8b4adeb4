// Where the help request goes: the consultation service's host ("host" or "host:port"), the
// scheme (http or https) and the CA certificates trusted for https, fixed by the build
// settings QUILLABY_SERVICE_HOST, QUILLABY_SERVICE_SCHEME and QUILLABY_SERVICE_CA. Tests
// point requests at their own loopback server, plain or TLS.
#pragma once

#include <QByteArray>
#include <QString>

QString serviceHost();
void setServiceHost(const QString& host);

QString serviceScheme();
void setServiceScheme(const QString& scheme);

// PEM text of the CA certificates trusted instead of the system's store; empty for the
// system's store.
QByteArray serviceCa();
void setServiceCa(const QByteArray& pem);

// The QUILLABY_SERVICE_CA file as it was at build time (generated source).
QByteArray builtInServiceCa();

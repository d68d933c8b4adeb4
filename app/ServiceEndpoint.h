// Where the help request goes and how long it may take: the one place that tests change.
// The program uses the endpoint as built: the host, scheme and CA certificates of the build
// settings QUILLABY_SERVICE_HOST, QUILLABY_SERVICE_SCHEME and QUILLABY_SERVICE_CA, 10 s to
// connect and 30 s for the whole request.
#pragma once

#include <QByteArray>
#include <QString>

struct ServiceEndpoint {
    QString host;   // "host" or "host:port"
    QString scheme; // "http" or "https"
    // PEM text of the CA certificates trusted instead of the system's store; empty for the
    // system's store.
    QByteArray ca;
    long connectTimeoutMs = 10000;
    long totalTimeoutMs = 30000;

    static ServiceEndpoint builtIn();
};

// The endpoint of every help request.
const ServiceEndpoint& serviceEndpoint();
// For tests only: points the help requests that follow elsewhere (ServiceEndpoint::builtIn()
// points them back).
void setServiceEndpoint(const ServiceEndpoint& endpoint);

// The QUILLABY_SERVICE_CA file as it was at build time (generated source).
QByteArray builtInServiceCa();

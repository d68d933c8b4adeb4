// The consultation service's host ("host" or "host:port"), fixed by the build setting
// QUILLABY_SERVICE_HOST. Tests point requests at their own loopback server.
#pragma once

#include <QString>

QString serviceHost();
void setServiceHost(const QString& host);

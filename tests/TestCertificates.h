// Throwaway certificates for the TLS tests, made with the openssl command in a temporary
// directory that goes with the object: a CA, a certificate it signs for 127.0.0.1, one it
// signs for another host, and a second CA that signs nothing we use.
#pragma once

#include "LoopbackHttpServer.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TestCertificates {
public:
    // Makes every file; false, with error() saying why, when openssl fails. With caFolder the
    // CA is the one kept there (ca.pem, ca.key) instead of a new one.
    bool make(const QString& caFolder = {});
    QString error() const { return m_error; }

    QByteArray caPem() const;
    QByteArray otherCaPem() const;
    TlsIdentity loopback() const;  // for 127.0.0.1, signed by the CA
    TlsIdentity otherHost() const; // for quillaby-other.invalid, signed by the CA

private:
    bool openssl(const QStringList& arguments);
    bool makeCa(const QString& name);
    bool makeLeaf(const QString& name, const QString& altName, int serial);
    QString path(const QString& file) const { return m_dir.filePath(file); }

    QTemporaryDir m_dir;
    QString m_error;
};

// Throwaway test certificates, made with the openssl command: EC keys, valid for two days.
#include "TestCertificates.h"

#include <QFile>
#include <QProcess>

namespace {

QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList kNewKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};

} // namespace

bool TestCertificates::make(const QString& caFolder) {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary directory");
        return false;
    }
    if (!caFolder.isEmpty() && !(QFile::copy(caFolder + "/ca.pem", path("ca.pem")) &&
                                 QFile::copy(caFolder + "/ca.key", path("ca.key")))) {
        m_error = QStringLiteral("no CA in ") + caFolder;
        return false;
    }
    return (!caFolder.isEmpty() || makeCa(QStringLiteral("ca"))) &&
           makeCa(QStringLiteral("other-ca")) &&
           makeLeaf(QStringLiteral("loopback"), QStringLiteral("IP:127.0.0.1"), 2) &&
           makeLeaf(QStringLiteral("other-host"), QStringLiteral("DNS:quillaby-other.invalid"), 3);
}

QByteArray TestCertificates::caPem() const {
    return readAll(path(QStringLiteral("ca.pem")));
}

QByteArray TestCertificates::otherCaPem() const {
    return readAll(path(QStringLiteral("other-ca.pem")));
}

TlsIdentity TestCertificates::loopback() const {
    return {path(QStringLiteral("loopback.pem")), path(QStringLiteral("loopback.key"))};
}

TlsIdentity TestCertificates::otherHost() const {
    return {path(QStringLiteral("other-host.pem")), path(QStringLiteral("other-host.key"))};
}

bool TestCertificates::openssl(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A configuration for the openssl command alone, kept from the program under test.
    const QString configuration = qEnvironmentVariable("QUILLABY_TEST_OPENSSL_CONF");
    if (!configuration.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OPENSSL_CONF"), configuration);
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = QStringLiteral("openssl %1 failed: %2 %3")
                      .arg(arguments.join(u' '), process.errorString(),
                           QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool TestCertificates::makeCa(const QString& name) {
    return openssl(QStringList{"req", "-x509", "-new"}
                   << kNewKey
                   << QStringList{"-keyout", path(name + ".key"), "-out", path(name + ".pem"),
                                  "-days", "2", "-subj", "/CN=Quillaby test " + name, "-addext",
                                  "basicConstraints=critical,CA:TRUE", "-addext",
                                  "keyUsage=critical,keyCertSign"});
}

bool TestCertificates::makeLeaf(const QString& name, const QString& altName, int serial) {
    QFile extensions(path(name + ".ext"));
    if (!extensions.open(QIODevice::WriteOnly)) {
        m_error = extensions.errorString();
        return false;
    }
    extensions.write("basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\nsubjectAltName=" +
                     altName.toLatin1() + '\n');
    extensions.close();
    return openssl(QStringList{"req", "-new"}
                   << kNewKey
                   << QStringList{"-keyout", path(name + ".key"), "-out", path(name + ".csr"),
                                  "-subj", "/CN=" + altName.section(u':', 1)}) &&
           openssl({"x509", "-req", "-in", path(name + ".csr"), "-CA", path("ca.pem"), "-CAkey",
                    path("ca.key"), "-set_serial", QString::number(serial), "-days", "2", "-out",
                    path(name + ".pem"), "-extfile", path(name + ".ext")});
}

// The Windows program's trust for https, with no CA built in: Windows' own store and the CA
// list the program carries each suffice on their own, and a certificate of another CA or for
// another host is refused all the same. And Qt looks for its plugins beside the program only.
// tests/windows_planted_check.sh runs it with planted OpenSSL configuration files and Qt
// libraries around the program, none of which may count.
#include "LoopbackHttpServer.h"
#include "TestCertificates.h"
#include "platform/HttpRequest.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTest>
#include <optional>
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

namespace {

// The CA of the PEM text in the computer's root store, as an organisation adds its own, for
// as long as the object lives.
class TrustedByWindows {
public:
    explicit TrustedByWindows(const QByteArray& pem)
        : m_store(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE,
                                L"ROOT")) {
        DWORD size = 0;
        CryptStringToBinaryA(pem.constData(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                             nullptr);
        QByteArray der(static_cast<qsizetype>(size), '\0');
        auto* bytes = reinterpret_cast<BYTE*>(der.data());
        if (m_store != nullptr &&
            CryptStringToBinaryA(pem.constData(), 0, CRYPT_STRING_BASE64HEADER, bytes, &size,
                                 nullptr, nullptr))
            CertAddEncodedCertificateToStore(m_store, X509_ASN_ENCODING, bytes, size,
                                             CERT_STORE_ADD_REPLACE_EXISTING, &m_added);
    }
    ~TrustedByWindows() {
        if (m_added != nullptr)
            CertDeleteCertificateFromStore(m_added);
        if (m_store != nullptr)
            CertCloseStore(m_store, 0);
    }
    TrustedByWindows(const TrustedByWindows&) = delete;
    TrustedByWindows& operator=(const TrustedByWindows&) = delete;
    bool added() const { return m_added != nullptr; }

private:
    HCERTSTORE m_store;
    PCCERT_CONTEXT m_added = nullptr;
};

} // namespace

class TestTrustWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void qtLooksOnlyBesideTheProgram();
    void defaultTrust_data();
    void defaultTrust();

private:
    TestCertificates m_ownCa;     // a CA of this run, trusted only where a row puts it
    TestCertificates m_carriedCa; // the CA the test build carries as its CA list
};

void TestTrustWindows::initTestCase() {
    const QString carried = qEnvironmentVariable("QUILLABY_TEST_CARRIED_CA");
    QVERIFY2(!carried.isEmpty(), "QUILLABY_TEST_CARRIED_CA names no folder");
    QVERIFY2(m_ownCa.make(), qPrintable(m_ownCa.error()));
    QVERIFY2(m_carriedCa.make(carried), qPrintable(m_carriedCa.error()));
}

void TestTrustWindows::qtLooksOnlyBesideTheProgram() {
    const QString folder = QDir(QCoreApplication::applicationDirPath()).canonicalPath();
    QCOMPARE(QDir(QLibraryInfo::path(QLibraryInfo::PrefixPath)).canonicalPath(), folder);
    QCOMPARE(QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath)).canonicalPath(), folder);
}

void TestTrustWindows::defaultTrust_data() {
    QTest::addColumn<bool>("carriedCa");
    QTest::addColumn<bool>("inWindowsStore");
    QTest::addColumn<bool>("otherHost");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("CA in Windows' store") << false << true << false << true;
    QTest::newRow("CA in the carried list") << true << false << false << true;
    QTest::newRow("CA in neither") << false << false << false << false;
    QTest::newRow("carried CA, another host") << true << false << true << false;
    QTest::newRow("Windows' CA, another host") << false << true << true << false;
}

void TestTrustWindows::defaultTrust() {
    QFETCH(bool, carriedCa);
    QFETCH(bool, inWindowsStore);
    QFETCH(bool, otherHost);
    QFETCH(bool, accepted);
    const TestCertificates& certificates = carriedCa ? m_carriedCa : m_ownCa;
    LoopbackHttpServer server(otherHost ? certificates.otherHost() : certificates.loopback());
    server.answer(200, "OK");
    std::optional<TrustedByWindows> trusted;
    // Wine builds its root store from this system's CA files, and a root added to Windows'
    // store is not in what a program then reads of it.
    if (inWindowsStore && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QSKIP("Under Wine a root added to Windows' store does not reach its root store.");
    if (inWindowsStore) {
        trusted.emplace(certificates.caPem());
        QVERIFY(trusted->added());
    }

    HttpRequest request; // no CA of its own: the default trust
    request.open(QStringLiteral("GET"), QStringLiteral("https://") + server.host() + '/', false);
    request.setTimeouts(10000, 30000);
    QString failure;
    try {
        request.send(QString());
    } catch (const HttpError& error) {
        failure = QString::fromUtf8(error.what());
    }
    QVERIFY2(failure.isEmpty() == accepted, qPrintable(failure.isEmpty() ? "accepted" : failure));
    if (accepted)
        QCOMPARE(request.responseText(), QStringLiteral("OK"));
}

QTEST_MAIN(TestTrustWindows)
#include "tst_trust_windows.moc"

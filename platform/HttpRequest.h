// A synchronous HTTP or HTTPS request over libcurl, used as open / send / responseText. One
// object serves one request. Redirects are followed; https always verifies the certificate
// chain and the host name.
#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

// The request could not be made: no such host, refused or broken connection, time-out, an
// answer that is not HTTP, an answer larger than we read, a TLS failure (untrusted or
// expired certificate, wrong host name, broken handshake), or a redirect we do not follow.
class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HttpRequest {
public:
    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // Only synchronous requests are offered: bAsync must be false.
    void open(const QString& sMethod, const QString& sUrl, bool bAsync);
    // Sends the request and returns when the whole answer has arrived. Throws HttpError.
    void send(const QString& sBody);
    // The body of the answer, decoded as UTF-8.
    QString responseText() const;

    // PEM text of the CA certificates that https trusts instead of the system's store;
    // empty (the default) for the system's store.
    void setCaCertificates(const QByteArray& pem);

    // Time limits of every request, in milliseconds.
    static void setTimeouts(long connectMs, long totalMs);
    static long connectTimeoutMs();
    static long totalTimeoutMs();

    // The largest answer body read; a longer one fails the request.
    static constexpr qsizetype kMaxBodyBytes = 1 << 20;

    // The most redirects (301, 302, 303, 307, 308) followed for one request; one more fails
    // it. Only http and https targets are followed, and never from https back to http.
    static constexpr int kMaxRedirects = 5;

private:
    void setOptions();
    void perform(const QByteArray& url, long timeoutMs);
    QByteArray redirectTarget() const;
    [[noreturn]] void fail(const char* reason);

    void* m_curl;
    QByteArray m_method;
    QByteArray m_url;
    QByteArray m_body;
    QByteArray m_ca;
};

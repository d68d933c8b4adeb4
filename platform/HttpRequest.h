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
    // Sends the request and returns when the whole answer has arrived. Meanwhile the windows
    // keep painting and answering the window system, and user input is dropped (see
    // EventPump::waitWithoutInput). Throws HttpError.
    void send(const QString& sBody);
    // The body of the answer, decoded as UTF-8.
    QString responseText() const;

    // PEM text of the CA certificates that https trusts instead of the system's store;
    // empty (the default) for the system's store.
    void setCaCertificates(const QByteArray& pem);
    // Time limits in milliseconds for connecting and for the whole request, redirects
    // included; 0 (the default) for libcurl's own.
    void setTimeouts(long connectMs, long totalMs);

    // The largest answer body read; a longer one fails the request.
    static constexpr qsizetype kMaxBodyBytes = 1 << 20;

    // The most redirects followed for one request; one more fails it. Only http and https
    // targets are followed, and never from https back to http.
    static constexpr long kMaxRedirects = 5;

private:
    void setOptions();
    // Called by libcurl before each hop of the chain is sent; refuses https down to http.
    static int checkHop(void* request, char*, char*, int, int);
    [[noreturn]] void fail(const char* reason);

    void* m_curl;
    QByteArray m_method;
    QByteArray m_url;
    QByteArray m_body;
    QByteArray m_ca;
    long m_connectMs = 0;
    long m_totalMs = 0;
    bool m_secure = false; // a hop of the chain went over https
};

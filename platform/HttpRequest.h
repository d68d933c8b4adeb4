// A synchronous HTTP request over libcurl, used as open / send / responseText. One object
// serves one request.
#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

// The request could not be made: no such host, refused or broken connection, time-out, an
// answer that is not HTTP, or an answer larger than we read.
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

    // Time limits of every request, in milliseconds.
    static void setTimeouts(long connectMs, long totalMs);
    static long connectTimeoutMs();
    static long totalTimeoutMs();

    // The largest answer body read; a longer one fails the request.
    static constexpr qsizetype kMaxBodyBytes = 1 << 20;

private:
    void* m_curl;
    QByteArray m_method;
    QByteArray m_url;
    QByteArray m_body;
};

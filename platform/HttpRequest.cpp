// The HTTP request over libcurl's easy interface: no headers of our own, the status code
// is not looked at, time limits on connecting and on the whole request.
#include "HttpRequest.h"

#include <curl/curl.h>

namespace {

long g_connectTimeoutMs = 10000;
long g_totalTimeoutMs = 30000;

size_t collectBody(char* data, size_t size, size_t count, void* target) {
    auto* body = static_cast<QByteArray*>(target);
    const size_t bytes = size * count;
    if (body->size() + static_cast<qsizetype>(bytes) > HttpRequest::kMaxBodyBytes)
        return 0; // makes curl fail the transfer
    body->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

CURL* handle(void* curl) {
    return static_cast<CURL*>(curl);
}

} // namespace

HttpRequest::HttpRequest() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    m_curl = initialised ? curl_easy_init() : nullptr;
}

HttpRequest::~HttpRequest() {
    if (m_curl != nullptr)
        curl_easy_cleanup(handle(m_curl));
}

void HttpRequest::setTimeouts(long connectMs, long totalMs) {
    g_connectTimeoutMs = connectMs;
    g_totalTimeoutMs = totalMs;
}

long HttpRequest::connectTimeoutMs() {
    return g_connectTimeoutMs;
}
long HttpRequest::totalTimeoutMs() {
    return g_totalTimeoutMs;
}

void HttpRequest::open(const QString& sMethod, const QString& sUrl, bool bAsync) {
    if (bAsync)
        throw HttpError("asynchronous requests are not supported");
    m_method = sMethod.toLatin1();
    m_url = sUrl.toUtf8();
}

void HttpRequest::send(const QString& sBody) {
    if (m_curl == nullptr)
        throw HttpError("the HTTP component could not be created");
    if (m_method != "GET" || !sBody.isEmpty())
        throw HttpError("only GET without a body is supported");
    CURL* curl = handle(m_curl);
    m_body.clear();
    curl_easy_setopt(curl, CURLOPT_URL, m_url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, g_connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, g_totalTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &m_body);
    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK) {
        m_body.clear();
        throw HttpError(curl_easy_strerror(result));
    }
}

QString HttpRequest::responseText() const {
    return QString::fromUtf8(m_body);
}

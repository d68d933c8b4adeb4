// The HTTP request over libcurl's easy interface: no headers of our own, the status code
// is not looked at, time limits on connecting and on the whole request.
#include "HttpRequest.h"

#include <curl/curl.h>
#include <dlfcn.h>

namespace {

// libcurl is loaded on the first request, not at start-up: linking it pulls in some forty
// libraries (TLS, Kerberos, LDAP, ...) that would slow every start of the program.
struct Curl {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;
    bool loaded = false;
};

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const Curl& curl() {
    static const Curl loadedCurl = [] {
        Curl c;
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return c;
        c.loaded = resolve(library, "curl_global_init", c.globalInit) &&
                   resolve(library, "curl_easy_init", c.easyInit) &&
                   resolve(library, "curl_easy_setopt", c.easySetopt) &&
                   resolve(library, "curl_easy_perform", c.easyPerform) &&
                   resolve(library, "curl_easy_cleanup", c.easyCleanup) &&
                   resolve(library, "curl_easy_strerror", c.easyStrerror) &&
                   c.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        return c;
    }();
    return loadedCurl;
}

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
    m_curl = curl().loaded ? curl().easyInit() : nullptr;
}

HttpRequest::~HttpRequest() {
    if (m_curl != nullptr)
        curl().easyCleanup(handle(m_curl));
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
    CURL* easy = handle(m_curl);
    const auto setopt = curl().easySetopt;
    m_body.clear();
    setopt(easy, CURLOPT_URL, m_url.constData());
    setopt(easy, CURLOPT_HTTPGET, 1L);
    setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    setopt(easy, CURLOPT_NOSIGNAL, 1L);
    setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, g_connectTimeoutMs);
    setopt(easy, CURLOPT_TIMEOUT_MS, g_totalTimeoutMs);
    setopt(easy, CURLOPT_WRITEFUNCTION, collectBody);
    setopt(easy, CURLOPT_WRITEDATA, &m_body);
    const CURLcode result = curl().easyPerform(easy);
    if (result != CURLE_OK) {
        m_body.clear();
        throw HttpError(curl().easyStrerror(result));
    }
}

QString HttpRequest::responseText() const {
    return QString::fromUtf8(m_body);
}

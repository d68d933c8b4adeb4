// The HTTP request over libcurl's easy interface: no headers of our own, time limits on
// connecting and on the whole request, redirects included. The status code is looked at
// only to follow a redirect, which we do by hand so that every hop of the chain is checked.
#include "HttpRequest.h"

#include <QElapsedTimer>
#include <QUrl>
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
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
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
                   resolve(library, "curl_easy_getinfo", c.easyGetinfo) &&
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

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
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

void HttpRequest::setCaCertificates(const QByteArray& pem) {
    m_ca = pem;
}

void HttpRequest::send(const QString& sBody) {
    if (m_curl == nullptr)
        throw HttpError("the HTTP component could not be created");
    if (m_method != "GET" || !sBody.isEmpty())
        throw HttpError("only GET without a body is supported");
    setOptions();

    // Every hop is a GET; the time limit covers the whole chain.
    QElapsedTimer clock;
    clock.start();
    QByteArray url = m_url;
    bool secure = false;
    for (int redirects = 0;; ++redirects) {
        const QString scheme = QUrl::fromEncoded(url).scheme().toLower();
        if (scheme == QLatin1String("https"))
            secure = true;
        else if (scheme != QLatin1String("http"))
            fail("only http and https are requested");
        else if (secure)
            fail("a redirect from https to http is not followed");
        const long remainingMs = g_totalTimeoutMs - static_cast<long>(clock.elapsed());
        if (remainingMs <= 0)
            fail("the request timed out");
        perform(url, remainingMs);
        const QByteArray target = redirectTarget();
        if (target.isEmpty())
            return;
        if (redirects == kMaxRedirects)
            fail("too many redirects");
        url = target;
    }
}

// The options that stay the same for every hop. A libcurl that refuses one of them (too old
// for it, or built without TLS) fails the request rather than sending it less safely.
void HttpRequest::setOptions() {
    CURL* easy = handle(m_curl);
    const auto setopt = curl().easySetopt;
    bool ok = setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
              setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, g_connectTimeoutMs) == CURLE_OK &&
              setopt(easy, CURLOPT_WRITEFUNCTION, collectBody) == CURLE_OK &&
              setopt(easy, CURLOPT_WRITEDATA, &m_body) == CURLE_OK &&
              setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
              setopt(easy, CURLOPT_SSLVERSION, long{CURL_SSLVERSION_TLSv1_2}) == CURLE_OK;
    if (ok && !m_ca.isEmpty()) {
        // Only these certificates: neither the system's bundle nor its directory.
        curl_blob blob{m_ca.data(), static_cast<size_t>(m_ca.size()), CURL_BLOB_COPY};
        ok = setopt(easy, CURLOPT_CAINFO_BLOB, &blob) == CURLE_OK &&
             setopt(easy, CURLOPT_CAINFO, static_cast<const char*>(nullptr)) == CURLE_OK &&
             setopt(easy, CURLOPT_CAPATH, static_cast<const char*>(nullptr)) == CURLE_OK;
    }
    if (!ok)
        fail("the HTTP component lacks a required option");
}

void HttpRequest::perform(const QByteArray& url, long timeoutMs) {
    CURL* easy = handle(m_curl);
    m_body.clear();
    if (curl().easySetopt(easy, CURLOPT_URL, url.constData()) != CURLE_OK ||
        curl().easySetopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs) != CURLE_OK)
        fail("the URL was refused");
    const CURLcode result = curl().easyPerform(easy);
    if (result != CURLE_OK)
        fail(curl().easyStrerror(result));
}

// Where a redirect answer sends us, as an absolute URL; empty for any other answer, and for
// a redirect status without a Location, whose body is then the answer.
QByteArray HttpRequest::redirectTarget() const {
    CURL* easy = handle(m_curl);
    long status = 0;
    if (curl().easyGetinfo(easy, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK ||
        !isRedirect(status))
        return {};
    char* target = nullptr;
    if (curl().easyGetinfo(easy, CURLINFO_REDIRECT_URL, &target) != CURLE_OK || target == nullptr)
        return {};
    return QByteArray(target);
}

void HttpRequest::fail(const char* reason) {
    m_body.clear();
    throw HttpError(reason);
}

QString HttpRequest::responseText() const {
    return QString::fromUtf8(m_body);
}

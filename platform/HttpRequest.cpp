// The HTTP request over libcurl's easy interface: no headers of our own, time limits on
// connecting and on the whole request, redirects included. libcurl follows the redirects;
// a check before each hop keeps a chain that reached https from going back to http.
#include "HttpRequest.h"

#include "EventPump.h"
#include "OsSpecific.h"

#include <QLibrary>
#include <curl/curl.h>
#include <system_error>

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

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

const Curl& curl() {
    static const Curl loadedCurl = [] {
        Curl c;
        // Kept loaded for the rest of the run: a QLibrary does not unload when destroyed.
        QLibrary library(OsSpecific::curlLibraryFile());
        library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!library.load())
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

void HttpRequest::open(const QString& sMethod, const QString& sUrl, bool bAsync) {
    if (bAsync)
        throw HttpError("asynchronous requests are not supported");
    m_method = sMethod.toLatin1();
    m_url = sUrl.toUtf8();
}

void HttpRequest::setCaCertificates(const QByteArray& pem) {
    m_ca = pem;
}

void HttpRequest::setTimeouts(long connectMs, long totalMs) {
    m_connectMs = connectMs;
    m_totalMs = totalMs;
}

void HttpRequest::send(const QString& sBody) {
    if (m_curl == nullptr)
        throw HttpError("the HTTP component could not be created");
    if (m_method != "GET" || !sBody.isEmpty())
        throw HttpError("only GET without a body is supported");
    m_body.clear();
    m_secure = false;
    setOptions();
    // The transfer runs on a worker thread; this thread keeps the windows alive meanwhile.
    CURLcode result = CURLE_OK;
    try {
        EventPump::waitWithoutInput(
            [this, &result] { result = curl().easyPerform(handle(m_curl)); });
    } catch (const std::system_error&) {
        fail("no thread could be started for the request");
    }
    if (result != CURLE_OK)
        fail(curl().easyStrerror(result));
}

// Every hop is a GET. A libcurl that refuses one of the options (too old for it, or built
// without TLS) fails the request rather than sending it less safely.
void HttpRequest::setOptions() {
    CURL* easy = handle(m_curl);
    const auto setopt = curl().easySetopt;
    bool ok = setopt(easy, CURLOPT_URL, m_url.constData()) == CURLE_OK &&
              setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
              setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              setopt(easy, CURLOPT_PREREQFUNCTION, checkHop) == CURLE_OK &&
              setopt(easy, CURLOPT_PREREQDATA, this) == CURLE_OK &&
              setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_connectMs) == CURLE_OK &&
              setopt(easy, CURLOPT_TIMEOUT_MS, m_totalMs) == CURLE_OK &&
              setopt(easy, CURLOPT_WRITEFUNCTION, collectBody) == CURLE_OK &&
              setopt(easy, CURLOPT_WRITEDATA, &m_body) == CURLE_OK &&
              setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
              setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
              setopt(easy, CURLOPT_SSLVERSION, long{CURL_SSLVERSION_TLSv1_2}) == CURLE_OK;
    if (ok && m_ca.isEmpty()) {
        ok = setopt(easy, CURLOPT_SSL_OPTIONS, OsSpecific::curlSystemStoreOptions()) == CURLE_OK;
        static const QByteArray carried = OsSpecific::carriedCaCertificates();
        if (ok && !carried.isEmpty()) {
            // Searched beside the system's store, not instead of it.
            curl_blob blob{const_cast<char*>(carried.constData()),
                           static_cast<size_t>(carried.size()), CURL_BLOB_NOCOPY};
            ok = setopt(easy, CURLOPT_CAINFO_BLOB, &blob) == CURLE_OK;
        }
    }
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

// libcurl has connected for the next hop and not yet sent anything on it: once a hop went
// over https, a plain http hop is refused, so the details never travel in clear.
int HttpRequest::checkHop(void* request, char*, char*, int, int) {
    auto* self = static_cast<HttpRequest*>(request);
    const char* scheme = nullptr;
    curl().easyGetinfo(handle(self->m_curl), CURLINFO_SCHEME, &scheme);
    const bool secure = scheme != nullptr && qstricmp(scheme, "https") == 0;
    if (self->m_secure && !secure)
        return CURL_PREREQFUNC_ABORT;
    self->m_secure = secure;
    return CURL_PREREQFUNC_OK;
}

void HttpRequest::fail(const char* reason) {
    m_body.clear();
    throw HttpError(reason);
}

QString HttpRequest::responseText() const {
    return QString::fromUtf8(m_body);
}

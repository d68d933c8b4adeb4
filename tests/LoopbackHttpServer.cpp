// The loopback HTTP server of the help-request tests, on the system's sockets
// (LoopbackSockets), with OpenSSL for its TLS mode.
#include "LoopbackHttpServer.h"

#include "LoopbackSockets.h"

#include <chrono>
#include <stdexcept>

#include <openssl/err.h>
#include <openssl/ssl.h>

namespace {

using LoopbackSockets::readable;

// A socket bound to a free loopback port, listening if asked; an exception if either fails.
int boundSocket(bool listening) {
    const int socket = LoopbackSockets::bound(listening);
    if (socket < 0)
        throw std::runtime_error("the test server found no free loopback port");
    return socket;
}

// One accepted connection, plain or TLS. Reads and writes give up when the server stops,
// so that a client that neither reads nor closes cannot hold the server's thread.
class Connection {
public:
    Connection(int socket, SSL_CTX* tls, const std::atomic<bool>& stop)
        : m_socket(socket), m_stop(stop), m_tls(tls != nullptr) {
        // Blocking reads and writes return now and then, to look at m_stop.
        LoopbackSockets::setTick(socket, 20);
        if (tls == nullptr)
            return;
        m_ssl = SSL_new(tls);
        if (m_ssl != nullptr)
            SSL_set_fd(m_ssl, socket);
    }
    ~Connection() {
        if (m_ssl != nullptr) {
            if (m_open)
                SSL_shutdown(m_ssl);
            SSL_free(m_ssl);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The TLS handshake; false when it failed. A plain connection is open at once.
    bool open() {
        if (!m_tls)
            return m_open = true;
        if (m_ssl == nullptr)
            return false;
        while (!m_stop) {
            const int result = SSL_accept(m_ssl);
            if (result == 1)
                return m_open = true;
            if (!retry(result))
                break;
        }
        ERR_clear_error();
        return false;
    }

    // What has arrived within timeoutMs: a count of bytes, 0 for nothing yet, -1 when the
    // connection is closed or broken.
    qsizetype receive(char* buffer, int size, int timeoutMs) {
        if (m_ssl == nullptr) {
            if (!readable(m_socket, timeoutMs))
                return 0;
            return LoopbackSockets::receive(m_socket, buffer, size);
        }
        if (SSL_pending(m_ssl) == 0 && !readable(m_socket, timeoutMs))
            return 0;
        const int n = SSL_read(m_ssl, buffer, size);
        if (n > 0)
            return n;
        return retry(n) ? 0 : -1;
    }

    void sendAll(const QByteArray& bytes) {
        qsizetype sent = 0;
        while (sent < bytes.size() && !m_stop) {
            const int chunk = static_cast<int>(std::min<qsizetype>(bytes.size() - sent, 16384));
            if (m_ssl == nullptr) {
                const qsizetype n =
                    LoopbackSockets::send(m_socket, bytes.constData() + sent, chunk);
                if (n == 0)
                    continue; // the client reads slowly: look at m_stop, then go on
                if (n < 0)
                    return;
                sent += n;
                continue;
            }
            const int n = SSL_write(m_ssl, bytes.constData() + sent, chunk);
            if (n > 0)
                sent += n;
            else if (!retry(n))
                return;
        }
    }

private:
    // Whether a TLS call that returned result only has to be called again.
    bool retry(int result) {
        const int error = SSL_get_error(m_ssl, result);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE)
            return true;
        ERR_clear_error();
        m_open = m_open && error != SSL_ERROR_SYSCALL && error != SSL_ERROR_SSL;
        return false;
    }

    int m_socket;
    const std::atomic<bool>& m_stop;
    bool m_tls;
    SSL* m_ssl = nullptr;
    bool m_open = false;
};

SSL_CTX* tlsContext(const TlsIdentity& identity) {
    // A client that goes away while we write must not end the test process.
    LoopbackSockets::ignoreBrokenPipes();
    LoopbackSockets::keepTlsFromConfiguration();
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    const QByteArray certificate = identity.certificateFile.toLocal8Bit();
    const QByteArray key = identity.keyFile.toLocal8Bit();
    if (context == nullptr ||
        SSL_CTX_use_certificate_chain_file(context, certificate.constData()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, key.constData(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context) != 1) {
        SSL_CTX_free(context);
        ERR_clear_error();
        throw std::runtime_error("the test server's certificate or key could not be loaded");
    }
    return context;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(const std::optional<TlsIdentity>& tls) {
    if (tls)
        m_tls = tlsContext(*tls);
    m_listener = boundSocket(true);
    m_port = LoopbackSockets::portOf(m_listener);
    m_thread = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stop = true;
    m_thread.join();
    LoopbackSockets::close(m_listener);
    SSL_CTX_free(static_cast<SSL_CTX*>(m_tls));
}

void LoopbackHttpServer::answer(int status, const QByteArray& body) {
    std::lock_guard lock(m_mutex);
    m_behaviour = Behaviour::Answer;
    m_status = status;
    m_body = body;
}

void LoopbackHttpServer::answerAfter(int delayMs) {
    std::lock_guard lock(m_mutex);
    m_delayMs = delayMs;
}

void LoopbackHttpServer::setBehaviour(Behaviour behaviour) {
    std::lock_guard lock(m_mutex);
    m_behaviour = behaviour;
}

void LoopbackHttpServer::redirect(int status, const QByteArray& location, int times) {
    std::lock_guard lock(m_mutex);
    m_redirectStatus = status;
    m_location = location;
    m_redirects = times;
}

QString LoopbackHttpServer::host() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QString LoopbackHttpServer::scheme() const {
    return m_tls != nullptr ? QStringLiteral("https") : QStringLiteral("http");
}

int LoopbackHttpServer::connectionsWithoutRequest() const {
    return m_connectionsWithoutRequest;
}

QStringList LoopbackHttpServer::targets() const {
    std::lock_guard lock(m_mutex);
    return m_targets;
}

quint16 LoopbackHttpServer::closedPort() {
    const int probe = boundSocket(false);
    const quint16 port = LoopbackSockets::portOf(probe);
    LoopbackSockets::close(probe);
    return port;
}

void LoopbackHttpServer::serve() {
    while (!m_stop) {
        if (!readable(m_listener, 20))
            continue;
        const int client = LoopbackSockets::accept(m_listener);
        if (client >= 0) {
            handle(client);
            LoopbackSockets::close(client);
        }
    }
}

void LoopbackHttpServer::handle(int client) {
    Connection connection(client, static_cast<SSL_CTX*>(m_tls), m_stop);
    if (!connection.open()) {
        ++m_connectionsWithoutRequest;
        return;
    }
    QByteArray request;
    while (!request.contains("\r\n\r\n") && !m_stop) {
        char buffer[4096];
        const qsizetype n = connection.receive(buffer, sizeof buffer, 20);
        if (n < 0) {
            ++m_connectionsWithoutRequest;
            return;
        }
        request.append(buffer, n);
    }
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');

    std::unique_lock lock(m_mutex);
    if (requestLine.size() == 3)
        m_targets.append(QString::fromLatin1(requestLine[1]));
    const bool redirect = m_redirects != 0;
    if (m_redirects > 0)
        --m_redirects;
    const int redirectStatus = m_redirectStatus;
    const QByteArray location = m_location;
    const Behaviour behaviour = m_behaviour;
    const QByteArray body = m_body;
    const int status = m_status;
    const auto answerAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_delayMs);
    lock.unlock();
    while (std::chrono::steady_clock::now() < answerAt && !m_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    if (redirect) {
        connection.sendAll("HTTP/1.1 " + QByteArray::number(redirectStatus) +
                           " Moved\r\nLocation: " + location +
                           "\r\nContent-Length: 5\r\nConnection: close\r\n\r\nMoved");
        return;
    }
    switch (behaviour) {
    case Behaviour::Answer:
        connection.sendAll("HTTP/1.1 " + QByteArray::number(status) +
                           " Status\r\nContent-Type: text/plain\r\nContent-Length: " +
                           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                           body);
        break;
    case Behaviour::Silent:
        // Keep the connection open until the client gives up or the test ends.
        while (!m_stop) {
            char buffer[256];
            if (connection.receive(buffer, sizeof buffer, 20) < 0)
                break;
        }
        break;
    case Behaviour::NotHttp:
        connection.sendAll("this is not an HTTP answer\r\n\r\n");
        break;
    case Behaviour::CloseAtOnce:
        break;
    case Behaviour::CloseMidAnswer:
        connection.sendAll("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nOK and then");
        break;
    case Behaviour::HugeBody: {
        const QByteArray huge(qsizetype{10} * 1024 * 1024, 'O');
        connection.sendAll("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(huge.size()) +
                           "\r\n\r\n" + huge);
        break;
    }
    case Behaviour::Trickle: {
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK";
        for (qsizetype i = 0; i < answer.size() && !m_stop; ++i) {
            connection.sendAll(answer.mid(i, 1));
            for (int tick = 0; tick < 50 && !m_stop; ++tick)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        break;
    }
    }
}

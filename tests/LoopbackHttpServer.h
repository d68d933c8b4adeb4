// A small HTTP server on 127.0.0.1 for the help-request tests, plain or over TLS. It runs on
// its own thread, records the request target of every request and answers as it is told,
// including the ways a broken or moved service misbehaves.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

// A certificate (PEM, the server's own first) and its private key, for a TLS server.
struct TlsIdentity {
    QString certificateFile;
    QString keyFile;
};

class LoopbackHttpServer {
public:
    enum class Behaviour {
        Answer,         // a complete HTTP/1.1 answer with the given status and body
        Silent,         // reads the request and never answers
        NotHttp,        // answers bytes that are not HTTP
        CloseAtOnce,    // closes the connection without answering
        CloseMidAnswer, // promises a body and closes the connection halfway through it
        HugeBody,       // answers a 10 MB body
        Trickle         // answers one byte a second
    };

    // Plain HTTP, or TLS with the given identity. Throws std::runtime_error when the
    // identity cannot be loaded.
    explicit LoopbackHttpServer(const std::optional<TlsIdentity>& tls = std::nullopt);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void answer(int status, const QByteArray& body);
    // Every answer waits this long after its request has arrived.
    void answerAfter(int delayMs);
    void setBehaviour(Behaviour behaviour);
    // The next `times` requests (every one when negative) are answered with the redirect
    // status and Location; after them the server answers as before.
    void redirect(int status, const QByteArray& location, int times = 1);

    // "127.0.0.1:port", as the service host setting takes it.
    QString host() const;
    // "http" or "https".
    QString scheme() const;
    QStringList targets() const;
    // Connections closed before a whole request arrived on them, for example after a
    // failed TLS handshake.
    int connectionsWithoutRequest() const;

    // A loopback port on which nothing listens.
    static quint16 closedPort();

private:
    void serve();
    void handle(int client);

    int m_listener = -1;
    quint16 m_port = 0;
    void* m_tls = nullptr; // SSL_CTX, kept out of this header
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connectionsWithoutRequest{0};
    mutable std::mutex m_mutex;
    Behaviour m_behaviour = Behaviour::Answer;
    int m_status = 200;
    int m_delayMs = 0;
    QByteArray m_body = "OK";
    int m_redirects = 0;
    int m_redirectStatus = 302;
    QByteArray m_location;
    QStringList m_targets;
    std::thread m_thread;
};

// A small HTTP server on 127.0.0.1 for the help-request tests. It runs on its own thread,
// records the request target of every request and answers as it is told, including the
// ways a broken service misbehaves.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <thread>

class LoopbackHttpServer {
public:
    enum class Behaviour {
        Answer,         // a complete HTTP/1.1 answer with the given status and body
        Silent,         // reads the request and never answers
        NotHttp,        // answers bytes that are not HTTP
        CloseAtOnce,    // closes the connection without answering
        CloseMidAnswer, // promises a body and closes the connection halfway through it
        HugeBody,       // answers a 10 MB body
        Trickle,        // answers one byte a second
        Redirect        // redirects to another path of this server
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void answer(int status, const QByteArray& body);
    void setBehaviour(Behaviour behaviour);

    // "127.0.0.1:port", as the service host setting takes it.
    QString host() const;
    QStringList targets() const;

    // A loopback port on which nothing listens.
    static quint16 closedPort();

private:
    void serve();
    void handle(int client);

    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    Behaviour m_behaviour = Behaviour::Answer;
    int m_status = 200;
    QByteArray m_body = "OK";
    QStringList m_targets;
    std::thread m_thread;
};

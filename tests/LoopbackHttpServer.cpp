// The loopback HTTP server of the help-request tests, on plain POSIX sockets.
#include "LoopbackHttpServer.h"

#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

quint16 boundPort(int socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

bool readable(int socket, int timeoutMs) {
    pollfd entry{socket, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

void writeAll(int socket, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(socket, bytes.constData() + sent,
                               static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(0);
    bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    listen(m_listener, 8);
    m_port = boundPort(m_listener);
    m_thread = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

void LoopbackHttpServer::answer(int status, const QByteArray& body) {
    std::lock_guard lock(m_mutex);
    m_behaviour = Behaviour::Answer;
    m_status = status;
    m_body = body;
}

void LoopbackHttpServer::setBehaviour(Behaviour behaviour) {
    std::lock_guard lock(m_mutex);
    m_behaviour = behaviour;
}

QString LoopbackHttpServer::host() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QStringList LoopbackHttpServer::targets() const {
    std::lock_guard lock(m_mutex);
    return m_targets;
}

quint16 LoopbackHttpServer::closedPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(0);
    bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const quint16 port = boundPort(probe);
    close(probe);
    return port;
}

void LoopbackHttpServer::serve() {
    while (!m_stop) {
        if (!readable(m_listener, 20))
            continue;
        const int client = accept(m_listener, nullptr, nullptr);
        if (client >= 0) {
            handle(client);
            close(client);
        }
    }
}

void LoopbackHttpServer::handle(int client) {
    QByteArray request;
    while (!request.contains("\r\n\r\n") && !m_stop) {
        if (!readable(client, 20))
            continue;
        char buffer[4096];
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, n);
    }
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');

    std::unique_lock lock(m_mutex);
    if (requestLine.size() == 3)
        m_targets.append(QString::fromLatin1(requestLine[1]));
    const Behaviour behaviour = m_behaviour;
    const QByteArray body = m_body;
    const int status = m_status;
    lock.unlock();

    switch (behaviour) {
    case Behaviour::Answer:
        writeAll(client, "HTTP/1.1 " + QByteArray::number(status) +
                             " Status\r\nContent-Type: text/plain\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                             body);
        break;
    case Behaviour::Silent:
        // Keep the connection open until the client gives up or the test ends.
        while (!m_stop) {
            char buffer[256];
            if (readable(client, 20) && recv(client, buffer, sizeof buffer, 0) <= 0)
                break;
        }
        break;
    case Behaviour::NotHttp:
        writeAll(client, "this is not an HTTP answer\r\n\r\n");
        break;
    case Behaviour::CloseAtOnce:
        break;
    case Behaviour::CloseMidAnswer:
        writeAll(client, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nOK and then");
        break;
    case Behaviour::HugeBody: {
        const QByteArray huge(10 * 1024 * 1024, 'O');
        writeAll(client, "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(huge.size()) +
                             "\r\n\r\n" + huge);
        break;
    }
    case Behaviour::Trickle: {
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK";
        for (qsizetype i = 0; i < answer.size() && !m_stop; ++i) {
            writeAll(client, answer.mid(i, 1));
            for (int tick = 0; tick < 50 && !m_stop; ++tick)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        break;
    }
    case Behaviour::Redirect:
        writeAll(client, "HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: 5\r\n"
                         "Connection: close\r\n\r\nMoved");
        break;
    }
}

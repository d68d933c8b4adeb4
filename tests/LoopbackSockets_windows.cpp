// LoopbackSockets on Winsock.
#include "LoopbackSockets.h"

#include <openssl/ssl.h>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

// Winsock is started once, for the whole test process.
void startWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    Q_UNUSED(started);
}

SOCKET handle(int socket) {
    return static_cast<SOCKET>(socket);
}

} // namespace

int LoopbackSockets::bound(bool listening) {
    startWinsock();
    const SOCKET fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd == INVALID_SOCKET ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (listening && ::listen(fd, 8) != 0)) {
        if (fd != INVALID_SOCKET)
            closesocket(fd);
        return -1;
    }
    return static_cast<int>(fd);
}

quint16 LoopbackSockets::portOf(int socket) {
    sockaddr_in address{};
    int length = sizeof address;
    getsockname(handle(socket), reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

int LoopbackSockets::accept(int listener) {
    const SOCKET client = ::accept(handle(listener), nullptr, nullptr);
    return client == INVALID_SOCKET ? -1 : static_cast<int>(client);
}

void LoopbackSockets::close(int socket) {
    closesocket(handle(socket));
}

// Winsock leaves a socket whose read or write timed out in no state to be used again, so
// its calls block: they end when the client sends, reads or goes, as every client of the
// tests does.
void LoopbackSockets::setTick(int, int) {}

bool LoopbackSockets::readable(int socket, int timeoutMs) {
    WSAPOLLFD entry{handle(socket), POLLRDNORM, 0};
    return WSAPoll(&entry, 1, timeoutMs) > 0;
}

qsizetype LoopbackSockets::receive(int socket, char* buffer, int size) {
    const int n = ::recv(handle(socket), buffer, size, 0);
    return n > 0 ? n : -1;
}

qsizetype LoopbackSockets::send(int socket, const char* bytes, int size) {
    const int n = ::send(handle(socket), bytes, size, 0);
    return n > 0 ? n : -1;
}

void LoopbackSockets::ignoreBrokenPipes() {} // Windows has no SIGPIPE

void LoopbackSockets::keepTlsFromConfiguration() {
    OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
}

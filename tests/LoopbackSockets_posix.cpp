// LoopbackSockets on POSIX sockets.
#include "LoopbackSockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

sockaddr_in loopback() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

int LoopbackSockets::bound(bool listening) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback();
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (listening && listen(fd, 8) != 0)) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

quint16 LoopbackSockets::portOf(int socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

int LoopbackSockets::accept(int listener) {
    return ::accept(listener, nullptr, nullptr);
}

void LoopbackSockets::close(int socket) {
    ::close(socket);
}

void LoopbackSockets::setTick(int socket, int tickMs) {
    const timeval tick{0, suseconds_t{tickMs} * 1000};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &tick, sizeof tick);
}

bool LoopbackSockets::readable(int socket, int timeoutMs) {
    pollfd entry{socket, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

qsizetype LoopbackSockets::receive(int socket, char* buffer, int size) {
    const ssize_t n = recv(socket, buffer, static_cast<size_t>(size), 0);
    return n > 0 ? n : -1;
}

qsizetype LoopbackSockets::send(int socket, const char* bytes, int size) {
    const ssize_t n = ::send(socket, bytes, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return n > 0 ? n : -1;
}

void LoopbackSockets::ignoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

void LoopbackSockets::keepTlsFromConfiguration() {}

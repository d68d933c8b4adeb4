// The few socket calls of the tests' loopback server, on the system's own socket API: one
// implementation file per system (LoopbackSockets_posix.cpp, LoopbackSockets_windows.cpp).
// A socket is its descriptor as OpenSSL takes it (SSL_set_fd).
#pragma once

#include <QtGlobal>

namespace LoopbackSockets {

// A TCP socket bound to a free port of 127.0.0.1, listening if asked; -1 when that fails.
int bound(bool listening);
quint16 portOf(int socket);
// A connection waiting on a listening socket, or -1.
int accept(int listener);
void close(int socket);
// Blocking reads and writes of the socket give up after tickMs, so that their caller can
// look around now and then (where the system allows it: not on Windows).
void setTick(int socket, int tickMs);
bool readable(int socket, int timeoutMs);
// What recv() gives: a count of bytes, or -1 when the connection is closed or broken.
qsizetype receive(int socket, char* buffer, int size);
// What send() gives: a count of bytes; 0 when the tick ran out before anything went, -1
// when the connection is broken. A peer gone away never ends the process.
qsizetype send(int socket, const char* bytes, int size);
// A write through OpenSSL to a peer gone away must not end the process either.
void ignoreBrokenPipes();
// The server's TLS reads no OpenSSL configuration file, where it has an OpenSSL of its own
// (Windows: linked into the test program, apart from the one inside libcurl.dll, so that a
// file planted for the program cannot break the server). Where it shares the system's
// OpenSSL with the libcurl under test (Linux), nothing is changed: libcurl there reads the
// system's configuration, as it does in the program.
void keepTlsFromConfiguration();

} // namespace LoopbackSockets

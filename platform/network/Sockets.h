#pragma once

#include <cstdint>
#include <functional>
#include <string>

// TCP sockets in the shape of the Winsock calls the HTTP client makes. Every
// socket is non-blocking and never raises a signal on a closed peer.
namespace Platform {

using SOCKET = intptr_t;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;
constexpr uint32_t INADDR_NONE = 0xFFFFFFFF;
// The error of a connect that is still under way.
constexpr int WSAEWOULDBLOCK = 10035;

// A new non-blocking IPv4 stream socket, or INVALID_SOCKET.
SOCKET OpenStreamSocket();
void closesocket(SOCKET socket);

// The address of a dotted IPv4 text in network byte order, or INADDR_NONE.
uint32_t inet_addr(const char* text);
// The first IPv4 address of a host name in network byte order; false when the
// name does not resolve. Goes through the installed resolver.
bool gethostbyname(const std::string& host, uint32_t* address);
using HostResolver = std::function<bool(const std::string& host, uint32_t* address)>;
// Installs a resolver (an empty one restores the system's); returns the previous one.
HostResolver SetHostResolver(HostResolver resolver);

// 0 once connected, SOCKET_ERROR otherwise with the error in *error:
// WSAEWOULDBLOCK while the connection is still under way.
int connect(SOCKET socket, uint32_t address, uint16_t port, int* error);
// The pending error of the socket (0 when none): after a connect under way
// has become writable, this tells whether it was refused.
int GetSocketError(SOCKET socket);

// Waits up to timeoutMicros for the socket to become readable or writable (as
// asked) or to report an exceptional condition. The count of conditions met
// (0 on time-out), or SOCKET_ERROR.
struct SocketWait {
    bool readable = false;
    bool writable = false;
    bool exception = false;
};
int select(SOCKET socket, bool forRead, bool forWrite, uint32_t timeoutMicros, SocketWait* met);

// The count of bytes sent or received; recv gives 0 when the peer closed.
// SOCKET_ERROR on failure.
int send(SOCKET socket, const char* data, int length);
int recv(SOCKET socket, char* data, int length);

} // namespace Platform

#include "platform/network/Sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Platform {

namespace {

std::mutex gResolverMutex;
HostResolver gResolver;

bool SystemResolve(const std::string& host, uint32_t* address)
{
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

} // namespace

SOCKET OpenStreamSocket()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? INVALID_SOCKET : SOCKET(fd);
}

void closesocket(SOCKET socket)
{
    if (socket != INVALID_SOCKET)
        ::close(int(socket));
}

uint32_t inet_addr(const char* text)
{
    in_addr parsed = {};
    return text && ::inet_pton(AF_INET, text, &parsed) == 1 ? parsed.s_addr : INADDR_NONE;
}

bool gethostbyname(const std::string& host, uint32_t* address)
{
    HostResolver resolver;
    {
        std::lock_guard<std::mutex> lock(gResolverMutex);
        resolver = gResolver;
    }
    return resolver ? resolver(host, address) : SystemResolve(host, address);
}

HostResolver SetHostResolver(HostResolver resolver)
{
    std::lock_guard<std::mutex> lock(gResolverMutex);
    HostResolver previous = std::move(gResolver);
    gResolver = std::move(resolver);
    return previous;
}

int connect(SOCKET socket, uint32_t address, uint16_t port, int* error)
{
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = address;
    if (::connect(int(socket), reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0) {
        *error = 0;
        return 0;
    }
    *error = errno == EINPROGRESS || errno == EAGAIN ? WSAEWOULDBLOCK : errno;
    return SOCKET_ERROR;
}

int GetSocketError(SOCKET socket)
{
    int pending = 0;
    socklen_t length = sizeof(pending);
    if (::getsockopt(int(socket), SOL_SOCKET, SO_ERROR, &pending, &length) != 0)
        return errno;
    return pending;
}

int select(SOCKET socket, bool forRead, bool forWrite, uint32_t timeoutMicros, SocketWait* met)
{
    const int fd = int(socket);
    if (fd < 0 || fd >= FD_SETSIZE)
        return SOCKET_ERROR;
    fd_set readSet;
    fd_set writeSet;
    fd_set exceptSet;
    FD_ZERO(&readSet);
    FD_ZERO(&writeSet);
    FD_ZERO(&exceptSet);
    if (forRead)
        FD_SET(fd, &readSet);
    if (forWrite)
        FD_SET(fd, &writeSet);
    FD_SET(fd, &exceptSet);
    timeval timeout = {time_t(timeoutMicros / 1000000), suseconds_t(timeoutMicros % 1000000)};
    const int count = ::select(fd + 1, &readSet, &writeSet, &exceptSet, &timeout);
    if (count < 0)
        return errno == EINTR ? 0 : SOCKET_ERROR;
    met->readable = FD_ISSET(fd, &readSet);
    met->writable = FD_ISSET(fd, &writeSet);
    met->exception = FD_ISSET(fd, &exceptSet);
    return count;
}

int send(SOCKET socket, const char* data, int length)
{
    const ssize_t sent = ::send(int(socket), data, size_t(length), MSG_NOSIGNAL);
    return sent < 0 ? SOCKET_ERROR : int(sent);
}

int recv(SOCKET socket, char* data, int length)
{
    const ssize_t got = ::recv(int(socket), data, size_t(length), 0);
    return got < 0 ? SOCKET_ERROR : int(got);
}

} // namespace Platform

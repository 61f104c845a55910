#include "platform/windows/MessageChannel.h"

#include "platform/process/Log.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace Platform {

namespace {

struct Payload {
    uint64_t wParam;
    int64_t lParam;
};

// An abstract socket address: nothing on disk, gone with its process.
sockaddr_un AddressOf(const std::string& name, socklen_t* length)
{
    uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    int written = std::snprintf(address.sun_path + 1, sizeof(address.sun_path) - 1, "lumo-message-%u-%016llx",
                                unsigned(::getuid()), static_cast<unsigned long long>(hash));
    *length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(written));
    return address;
}

int OpenSocket() { return ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

} // namespace

MessageChannel::~MessageChannel()
{
    for (const auto& entry : mListening)
        ::close(entry.second);
}

void MessageChannel::Listen(const std::string& name)
{
    if (mListening.count(name))
        return;
    int fd = OpenSocket();
    if (fd < 0)
        return;
    socklen_t length = 0;
    sockaddr_un address = AddressOf(name, &length);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        if (errno != EADDRINUSE)
            LogLine("Cannot listen for the message \"" + name + "\": " + std::strerror(errno));
        ::close(fd);
        return;
    }
    mListening.emplace(name, fd);
}

bool MessageChannel::Send(const std::string& name, WPARAM wParam, LPARAM lParam)
{
    if (mListening.count(name))
        return false;
    int fd = OpenSocket();
    if (fd < 0)
        return false;
    socklen_t length = 0;
    sockaddr_un address = AddressOf(name, &length);
    Payload payload{uint64_t(wParam), int64_t(lParam)};
    // Nobody listening is refused; a listener that reads no more leaves its queue full.
    const bool sent =
        ::sendto(fd, &payload, sizeof(payload), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), length) >= 0;
    ::close(fd);
    return sent;
}

std::vector<MessageChannel::Arrival> MessageChannel::Receive()
{
    std::vector<Arrival> arrivals;
    for (const auto& entry : mListening) {
        Payload payload;
        ssize_t got;
        while ((got = ::recv(entry.second, &payload, sizeof(payload), 0)) >= 0) {
            if (size_t(got) == sizeof(payload))
                arrivals.push_back(Arrival{entry.first, WPARAM(payload.wParam), LPARAM(payload.lParam)});
        }
    }
    return arrivals;
}

} // namespace Platform


#include "tests/diagnostics/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace LumoTest {

namespace {

int BindLoopback(uint16_t* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

// Waits in short slices so that a stop is seen.
bool WaitReadable(int fd, const std::atomic<bool>& stop)
{
    while (!stop) {
        pollfd entry = {fd, POLLIN, 0};
        if (::poll(&entry, 1, 20) > 0)
            return true;
    }
    return false;
}

} // namespace

LoopbackServer::LoopbackServer(std::vector<std::string> replyPieces, Ending ending)
    : mPieces(std::move(replyPieces)), mEnding(ending)
{
    mListener = BindLoopback(&mPort);
    if (mEnding != Ending::kQueueFull) {
        ::listen(mListener, 1);
        mThread = std::thread([this] { Serve(); });
        return;
    }
    // A queue of no length still takes one connection, and no more.
    ::listen(mListener, 0);
    mFiller = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(mPort);
    ::connect(mFiller, reinterpret_cast<sockaddr*>(&address), sizeof(address));
}

LoopbackServer::~LoopbackServer()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    if (mFiller >= 0)
        ::close(mFiller);
    ::close(mListener);
}

std::string LoopbackServer::Request()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    return mRequest;
}

uint16_t LoopbackServer::ClosedPort()
{
    uint16_t port = 0;
    ::close(BindLoopback(&port));
    return port;
}

void LoopbackServer::Serve()
{
    if (!WaitReadable(mListener, mStop))
        return;
    const int peer = ::accept(mListener, nullptr, nullptr);
    // The head ends with a blank line; a body follows with its length.
    size_t needed = std::string::npos;
    while (mRequest.size() < needed && WaitReadable(peer, mStop)) {
        char bytes[4096];
        const ssize_t got = ::recv(peer, bytes, sizeof(bytes), 0);
        if (got <= 0)
            break;
        mRequest.append(bytes, size_t(got));
        const size_t head = mRequest.find("\r\n\r\n");
        if (head != std::string::npos && needed == std::string::npos) {
            const size_t field = mRequest.find("Content-Length: ");
            needed = head + 4 + (field < head ? std::stoul(mRequest.substr(field + 16)) : 0);
        }
    }
    mReceived = mRequest.size() >= needed;
    while (mHeld && !mStop)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (const std::string& piece : mPieces)
        ::send(peer, piece.data(), piece.size(), MSG_NOSIGNAL);
    while (mEnding == Ending::kStall && !mStop)
        WaitReadable(peer, mStop);
    while (mEnding == Ending::kTrickle && !mStop && ::send(peer, "x", 1, MSG_NOSIGNAL) == 1)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (mEnding == Ending::kReset) {
        // Closing with lingering off sends a reset instead of the usual end.
        const linger off = {1, 0};
        ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &off, sizeof(off));
    }
    ::close(peer);
}

} // namespace LumoTest

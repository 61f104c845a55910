#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace LumoTest {

// A TCP server on 127.0.0.1 that takes one connection, reads the request
// head and answers with the scripted pieces, then ends the connection as told.
class LoopbackServer {
public:
    enum class Ending {
        kClose,
        // Holds the connection open without a further word until the server
        // is stopped.
        kStall,
        // Sends one more byte every few milliseconds until the server is stopped.
        kTrickle,
        // Resets the connection after the pieces.
        kReset,
        // Takes no connection: its queue is full, so that a connection to it
        // never completes, as to a host that does not answer at all.
        kQueueFull,
    };

    explicit LoopbackServer(std::vector<std::string> replyPieces, Ending ending = Ending::kClose);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    uint16_t Port() const { return mPort; }
    // What the client sent, once the server has finished.
    std::string Request();

    // Whether the whole request has arrived.
    bool Received() const { return mReceived; }

    // Holds the reply back until Release, so a test can see the transfer
    // running before it ends.
    void Hold() { mHeld = true; }
    void Release() { mHeld = false; }

    // A port on which nothing listens.
    static uint16_t ClosedPort();

private:
    void Serve();

    int mListener = -1;
    // The connection that fills the queue of kQueueFull.
    int mFiller = -1;
    uint16_t mPort = 0;
    std::vector<std::string> mPieces;
    Ending mEnding;
    std::atomic<bool> mStop{false};
    std::atomic<bool> mHeld{false};
    std::atomic<bool> mReceived{false};
    std::string mRequest;
    std::thread mThread;
};

} // namespace LumoTest

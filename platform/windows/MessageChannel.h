#pragma once

#include "platform/windows/WindowTypes.h"

#include <map>
#include <string>
#include <vector>

namespace Platform {

// Carries registered messages broadcast by one process to the windows of
// another: the first process to register a name listens for it on a local
// socket named after it and the user.
class MessageChannel {
public:
    struct Arrival {
        std::string name;
        WPARAM wParam;
        LPARAM lParam;
    };

    MessageChannel() = default;
    ~MessageChannel();
    MessageChannel(const MessageChannel&) = delete;
    MessageChannel& operator=(const MessageChannel&) = delete;

    // Listens for the name unless another process already does.
    void Listen(const std::string& name);
    // Sends to the process listening for the name, unless that is this one;
    // false when no other process took it.
    bool Send(const std::string& name, WPARAM wParam, LPARAM lParam);
    std::vector<Arrival> Receive();

private:
    std::map<std::string, int> mListening; // name to socket
};

} // namespace Platform

#pragma once

#include <functional>
#include <string>

namespace LumoTest {

// How a forked child ended.
struct ChildEnd {
    bool signalled = false;
    int signal = 0;
    int exitCode = -1;
    bool timedOut = false;
};

// Runs the body in a forked child whose current folder is the given one, with
// no core dumps and the headless desktop; waits for it at most 60 seconds.
// A body that returns or throws ends the child with exit code 91.
ChildEnd RunInChild(const std::string& folder, const std::function<void()>& body);

} // namespace LumoTest

#pragma once

#include <string>

namespace Platform {

// The X server going away (log-out, a crash of the server), or a fatal error
// on a connection (another client destroyed our window), ends the session,
// not the process on the spot: Xlib would call exit() from inside whatever
// call met it, whose locks the exit handlers then wait on. Once watched, a
// broken connection of this process (any it opens, SDL's own included) fails
// each later call at once, the program leaves the display alone, and it is
// told to end the way a log-off tells it, saving what it can; a watchdog ends
// the process should that take too long. No wait for an event outlasts the
// server, and a write to a server that went fails rather than ends the process.
// A copy of the process (a message box or a probe that SDL or we fork) just
// ends at once: nothing there is ours to save.
// Call before the first connection opens and before the first fork.
void WatchX11Connections();

// True once a connection has broken or met a fatal error.
bool X11ServerLost();

// What the log says of it: the broken connection, or the error's codes.
std::string X11LossCause();

} // namespace Platform

#pragma once

struct _XDisplay;
struct SDL_Window;

namespace Platform {

// The X server going away (log-out, a crash of the server) ends the session,
// not the process on the spot: Xlib would call exit() from inside whatever
// call met the broken connection, whose locks the exit handlers then wait on.
// A connection marked here instead fails every later call at once, and the
// program is told to end the way a log-off tells it, saving what it can; a
// watchdog ends the process should that take too long. Any other connection
// of the process (a message box's) ends the process at once.
void MarkX11Connection(_XDisplay* display);
// The connection that SDL shows the window on, where that is an X server.
void MarkX11Connection(SDL_Window* window);

// True once a marked connection has broken.
bool X11ServerLost();

} // namespace Platform

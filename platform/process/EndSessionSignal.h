#pragma once

namespace Platform {

// SIGINT and SIGTERM end the session the way logging off would: the pump
// turns them into WM_ENDSESSION so the program shuts down cleanly. A second
// signal before that ends the process the usual way.
void WatchEndSessionSignals();

// True once for each signal caught since the last call.
bool TakeEndSessionSignal();

} // namespace Platform

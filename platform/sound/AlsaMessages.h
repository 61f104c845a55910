#pragma once

namespace Platform {

// ALSA reports its own troubles (no sound card, an unknown device) on stderr
// while SDL probes it. Sends them to the log instead, for the library SDL
// loads, which is the one process-wide copy; without ALSA it does nothing.
// The first call installs the route for the life of the process.
void RouteAlsaMessagesToLog();

} // namespace Platform

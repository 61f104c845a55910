#pragma once

#include <string>

namespace Platform {

// ALSA reports its own troubles (no sound card, an unknown device) on stderr,
// dozens of lines while SDL probes it. Keeps them off stderr and out of the
// log, for the library SDL loads, which is the one process-wide copy; without
// ALSA it does nothing. The first call installs this for the life of the process.
void QuietAlsaMessages();

// The first of ALSA's reports since the last call, which says why a device
// did not open; empty when there was none.
std::string TakeFirstAlsaMessage();

} // namespace Platform

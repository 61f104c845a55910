#pragma once

#include <functional>

namespace Platform {

// The debugger output of the process. Texts go to the installed sink, by
// default standard error when LUMO_DEBUG_OUTPUT is set and nowhere otherwise.
void OutputDebugStringA(const char* text);

using DebugSink = std::function<void(const char*)>;
// Installs a sink (an empty one restores the default); returns the previous one.
DebugSink SetDebugSink(DebugSink sink);

} // namespace Platform

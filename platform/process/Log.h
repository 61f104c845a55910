#pragma once

#include <functional>
#include <string>

namespace Platform {

// Where the platform layer reports what it could not do. The application
// points this at its own log once that exists; until then lines go to the
// debugger output.
using LogHook = std::function<void(const std::string& line)>;

// Installs a hook (an empty one restores the default); returns the previous one.
LogHook SetLogHook(LogHook hook);

// One line, without its line end.
void LogLine(const std::string& line);

} // namespace Platform

#pragma once

namespace Lumo {

// Printf rules, to the debugger output of the process. No line feed is added.
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace Lumo

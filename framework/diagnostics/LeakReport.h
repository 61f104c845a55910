#pragma once

#include <cstddef>
#include <cstdint>

namespace Lumo {

// A store of live allocations (address, size, source file and line) that an
// allocation hook fills, and its report "mem_leaks.txt": every block still in
// the store when the program ends, also sent to the debugger output.
void LeakReportInit();
// Writes the report when it was asked for, then tears the store down.
void LeakReportShutdown();
void WriteLeakReport();

// The allocation hook's side; ignored while the store does not exist.
void LeakTrackAllocation(const void* address, int32_t size, const char* file, int32_t line);
void LeakTrackRelease(const void* address);
// Asks for the report at LeakReportShutdown.
void SetLeakReportWanted(bool wanted);

} // namespace Lumo

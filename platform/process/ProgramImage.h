#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Platform {

// A run of the program's own loaded image: its code, constants and data.
struct ImageRegion {
    const uint8_t* start;
    size_t length;
};

// The loaded segments of the program file itself (not of its libraries),
// lowest address first.
std::vector<ImageRegion> GetProgramImageRegions();

} // namespace Platform

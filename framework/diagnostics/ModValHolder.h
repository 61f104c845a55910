#pragma once

#include <cstdint>
#include <string>

namespace Lumo {

// The value a reparse found for one marked literal.
struct ModValHolder {
    uint8_t mChanged = 0;
    int32_t mInt = 0;
    double mDouble = 0.0;
    std::string mString;
};

// A marker record, packed byte by byte in the program's writable data:
// registration byte (non-zero until registered), the holder's address, the
// marker characters, then the marker text (the source file name, the
// ordering number, a comma and the line number) and a NUL.
constexpr size_t kModValHolderOffset = 1;
constexpr size_t kModValMarkerOffset = kModValHolderOffset + sizeof(ModValHolder*);
constexpr size_t kModValTextOffset = kModValMarkerOffset + 10;

} // namespace Lumo

#pragma once

#include <cstdint>

namespace Lumo {

// One contribution of a source pixel (or row) to a filtered cell.
struct FilterTap {
    int32_t cell;
    int32_t source;
    int32_t weight;
};

} // namespace Lumo

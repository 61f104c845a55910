#pragma once

#include <cstdint>

namespace Lumo {

// A flags modifier: the flags a node adds and the flags it removes.
struct FlagsMod {
    uint32_t mAdd = 0;
    uint32_t mRemove = 0;

    uint32_t Apply(uint32_t flags) const { return (flags | mAdd) & ~mRemove; }
};

} // namespace Lumo

#pragma once

#include <cstdint>

namespace Lumo {

struct Point {
    int32_t mX;
    int32_t mY;

    bool operator==(const Point& other) const = default;
};

} // namespace Lumo

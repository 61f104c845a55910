#pragma once

#include <cstdint>

namespace Lumo {

// A ratio kept in lowest terms, such as the screen's aspect ratio.
class Fraction {
public:
    void Set(int32_t numerator, int32_t denominator);

    int32_t mNumerator = 1;
    int32_t mDenominator = 1;
};

} // namespace Lumo

#include "framework/core/Fraction.h"

namespace Lumo {

void Fraction::Set(int32_t numerator, int32_t denominator)
{
    // In 64 bits so that the most negative value divides without overflow.
    int64_t a = numerator;
    int64_t b = denominator;
    while (b != 0) {
        int64_t remainder = a % b;
        a = b;
        b = remainder;
    }
    // 0/0 has no divisor to reduce by and stays as given.
    int64_t divisor = a == 0 ? 1 : a;
    mNumerator = int32_t(numerator / divisor);
    mDenominator = int32_t(denominator / divisor);
}

} // namespace Lumo

#include "framework/graphics/Color.h"

namespace Lumo {

Color::Color(const int* rgb) : mRed(rgb[0]), mGreen(rgb[1]), mBlue(rgb[2]), mAlpha(255) {}

Color::Color(int packed)
    : mRed((packed >> 16) & 0xFF), mGreen((packed >> 8) & 0xFF), mBlue(packed & 0xFF),
      mAlpha((packed >> 24) & 0xFF)
{
    if (mAlpha == 0)
        mAlpha = 255;
}

uint32_t Color::ToInt() const
{
    uint32_t packed = uint32_t(mAlpha);
    packed = (packed << 8) | uint32_t(mRed);
    packed = (packed << 8) | uint32_t(mGreen);
    return (packed << 8) | uint32_t(mBlue);
}

bool Color::IsWhite() const
{
    return *this == White;
}

} // namespace Lumo

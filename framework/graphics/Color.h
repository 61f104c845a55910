#pragma once

#include <cstdint>

namespace Lumo {

// An RGBA colour of four ints, meant to lie in 0..255 but never clamped.
class Color {
public:
    int32_t mRed;
    int32_t mGreen;
    int32_t mBlue;
    int32_t mAlpha;

    static const Color Black;
    static const Color White;

    constexpr Color() : mRed(0), mGreen(0), mBlue(0), mAlpha(255) {}
    constexpr Color(int red, int green, int blue) : mRed(red), mGreen(green), mBlue(blue), mAlpha(255) {}
    constexpr Color(int red, int green, int blue, int alpha)
        : mRed(red), mGreen(green), mBlue(blue), mAlpha(alpha) {}
    // Red, green and blue from the array; opaque.
    explicit Color(const int* rgb);
    // Packed 0xAARRGGBB. An alpha byte of 0 reads as opaque, so a packed
    // colour written without its top byte stays visible.
    explicit Color(int packed);

    int GetRed() const { return mRed; }
    int GetGreen() const { return mGreen; }
    int GetBlue() const { return mBlue; }
    int GetAlpha() const { return mAlpha; }

    // 0xAARRGGBB; components are not masked, so out-of-range values spill
    // into the neighbouring byte.
    uint32_t ToInt() const;
    // Only (255, 255, 255, 255) is white: the blits skip modulation for it.
    bool IsWhite() const;

    bool operator==(const Color& other) const = default;
};

inline constexpr Color Color::Black{0, 0, 0, 255};
inline constexpr Color Color::White{255, 255, 255, 255};

} // namespace Lumo

#pragma once

#include <cstdint>
#include <memory>

namespace ImageLib {

// A decoded picture: width x height 0xAARRGGBB pixels, row by row from the top.
class Image {
public:
    // The pixels start cleared, so whatever a short file leaves unfilled is
    // transparent black.
    Image(int32_t width, int32_t height);
    // For a decoder that writes every pixel itself: the pixels start unset.
    struct Unset {};
    Image(int32_t width, int32_t height, Unset);
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    int32_t Width() const { return mWidth; }
    int32_t Height() const { return mHeight; }
    uint32_t* GetBits() { return mBits.get(); }
    const uint32_t* GetBits() const { return mBits.get(); }

private:
    int32_t mWidth;
    int32_t mHeight;
    std::unique_ptr<uint32_t[]> mBits;
};

} // namespace ImageLib

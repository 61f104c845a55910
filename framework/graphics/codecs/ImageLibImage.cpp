#include "framework/graphics/codecs/ImageLibImage.h"

#include <cstddef>

namespace ImageLib {

Image::Image(int32_t width, int32_t height)
    : mWidth(width), mHeight(height), mBits(new uint32_t[size_t(width) * size_t(height)]())
{
}

Image::Image(int32_t width, int32_t height, Unset)
    : mWidth(width), mHeight(height),
      mBits(std::make_unique_for_overwrite<uint32_t[]>(size_t(width) * size_t(height)))
{
}

Image::~Image() = default;

} // namespace ImageLib

#include "framework/graphics/images/MoveImageBlock.h"

#include "framework/graphics/images/MemoryImage.h"

#include <cstring>

namespace Lumo {

namespace {

bool InsideImage(const MemoryImage& image, int64_t x, int64_t y, int64_t width, int64_t height)
{
    return x >= 0 && y >= 0 && width >= 0 && height >= 0 && x + width <= image.mWidth &&
           y + height <= image.mHeight;
}

} // namespace

void MoveImageBlock(MemoryImage* image, int32_t newX, int32_t newY, const Rect& source)
{
    if (newX == source.mX && newY == source.mY)
        return;
    // Atlas rectangles come from content files: refuse what would reach
    // outside the pixels.
    if (!InsideImage(*image, source.mX, source.mY, source.mWidth, source.mHeight) ||
        !InsideImage(*image, newX, newY, source.mWidth, source.mHeight))
        return;
    image->mDrawn = true;
    uint32_t* bits = image->GetPixelBits();
    if (!bits)
        return;

    const size_t pitch = size_t(image->mWidth);
    const size_t rowBytes = size_t(source.mWidth) * sizeof(uint32_t);
    auto moveRow = [&](int32_t row) {
        std::memmove(bits + size_t(newY + row) * pitch + size_t(newX),
                     bits + size_t(source.mY + row) * pitch + size_t(source.mX), rowBytes);
    };
    // Moving down, the lower rows go first so that no source row is
    // overwritten before it is read.
    if (newY > source.mY) {
        for (int32_t row = source.mHeight - 1; row >= 0; --row)
            moveRow(row);
    } else {
        for (int32_t row = 0; row < source.mHeight; ++row)
            moveRow(row);
    }
    image->MarkBitsChanged();
}

} // namespace Lumo

#include "framework/display/D3DTestImage.h"

namespace Lumo {

void D3DTestImage::Create(int width, int height)
{
    mPixels.reset();
    mWidth = mHeight = 0;
    if (width <= 0 || height <= 0)
        return;
    mPixels = std::make_unique<uint32_t[]>(size_t(width) * size_t(height));
    mWidth = width;
    mHeight = height;
}

void D3DTestImage::FillRect(int start, int rows, int width, uint32_t color)
{
    for (int row = 0; row < rows; ++row)
        for (int x = 0; x < width; ++x) {
            const int64_t at = int64_t(start) + int64_t(row) * mWidth + x;
            if (at >= 0 && at < int64_t(mWidth) * mHeight)
                mPixels[size_t(at)] = color;
        }
}

void D3DTestImage::FillStripes()
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            mPixels[size_t(y) * size_t(mWidth) + size_t(x)] = (x & 1) ? 0xFFFFFFFF : 0xFF000000;
}

} // namespace Lumo

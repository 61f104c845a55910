#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/NativeDisplay.h"

#include <algorithm>

namespace Lumo {

namespace {

struct ChannelFormat {
    uint32_t mask;
    uint32_t downShift; // from the channel's top bit in 0xAARRGGBB to the display width
    uint32_t upShift;
    bool valid;
};

ChannelFormat MakeChannel(uint32_t top, uint32_t mask, uint32_t bits, uint32_t shift)
{
    return ChannelFormat{mask, top - bits, shift, bits <= 8 && shift < 32};
}

class NativeConverter {
public:
    explicit NativeConverter(const NativeDisplay& display)
        : mRed(MakeChannel(24, display.mRedMask, display.mRedBits, display.mRedShift)),
          mGreen(MakeChannel(16, display.mGreenMask, display.mGreenBits, display.mGreenShift)),
          mBlue(MakeChannel(8, display.mBlueMask, display.mBlueBits, display.mBlueShift))
    {
    }

    // Colour premultiplied by (a + 1) / 256 and cut to the display's channel
    // widths; the source alpha stays in the top byte whatever the format.
    uint32_t Convert(uint32_t pixel) const
    {
        const uint32_t alphaFactor = (pixel >> 24) + 1;
        return Channel(mRed, pixel & 0xFF0000, alphaFactor) | Channel(mGreen, pixel & 0xFF00, alphaFactor) |
               Channel(mBlue, pixel & 0xFF, alphaFactor) | (pixel & 0xFF000000);
    }

private:
    static uint32_t Channel(const ChannelFormat& format, uint32_t inPlace, uint32_t alphaFactor)
    {
        if (!format.valid)
            return 0;
        return (((inPlace * alphaFactor) >> 8 >> format.downShift) << format.upShift) & format.mask;
    }

    ChannelFormat mRed;
    ChannelFormat mGreen;
    ChannelFormat mBlue;
};

// Each byte: the pixels from it to the end of its run of equal class within
// the row, itself included, capped at 255.
template <typename ClassOf>
void EncodeRuns(uint8_t* out, int32_t width, int32_t height, ClassOf classOf)
{
    for (int32_t y = 0; y < height; ++y) {
        const size_t rowStart = size_t(y) * size_t(width);
        int32_t remaining = 0;
        int lastClass = -1;
        for (int32_t x = width - 1; x >= 0; --x) {
            const int pixelClass = classOf(rowStart + size_t(x));
            remaining = pixelClass == lastClass ? remaining + 1 : 1;
            lastClass = pixelClass;
            out[rowStart + size_t(x)] = uint8_t(std::min(remaining, 255));
        }
    }
}

int AlphaClass(uint32_t pixel)
{
    const uint32_t alpha = pixel >> 24;
    return alpha == 0 ? 0 : alpha == 255 ? 1 : 2;
}

} // namespace

uint32_t* MemoryImage::GetNativeAlphaData(NativeDisplay* display)
{
    if (nativeAlphaData)
        return nativeAlphaData.get();
    CheckAlpha();
    const NativeConverter converter(*display);
    if (colorTable) {
        nativeAlphaData = std::make_unique_for_overwrite<uint32_t[]>(256);
        std::transform(colorTable.get(), colorTable.get() + 256, nativeAlphaData.get(),
                       [&](uint32_t pixel) { return converter.Convert(pixel); });
        return nativeAlphaData.get();
    }
    const uint32_t* pixels = GetPixelBits();
    if (!pixels)
        return nullptr;
    const size_t count = PixelCount();
    nativeAlphaData = std::make_unique_for_overwrite<uint32_t[]>(count);
    std::transform(pixels, pixels + count, nativeAlphaData.get(),
                   [&](uint32_t pixel) { return converter.Convert(pixel); });
    return nativeAlphaData.get();
}

uint8_t* MemoryImage::GetRunLengthAlphaData()
{
    if (runLengthAlphaData)
        return runLengthAlphaData.get();
    CheckAlpha();
    if (PixelCount() == 0)
        return nullptr;
    const uint32_t* palette = nullptr;
    const uint32_t* pixels = nullptr;
    if (colorTable) {
        palette = nativeAlphaData ? nativeAlphaData.get() : colorTable.get();
    } else if (nativeAlphaData) {
        pixels = nativeAlphaData.get();
    } else {
        pixels = GetPixelBits();
    }
    runLengthAlphaData = std::make_unique_for_overwrite<uint8_t[]>(PixelCount());
    if (palette) {
        const uint8_t* indices = colorIndices.get();
        EncodeRuns(runLengthAlphaData.get(), mWidth, mHeight,
                   [&](size_t i) { return AlphaClass(palette[indices[i]]); });
    } else {
        EncodeRuns(runLengthAlphaData.get(), mWidth, mHeight, [&](size_t i) { return AlphaClass(pixels[i]); });
    }
    return runLengthAlphaData.get();
}

uint8_t* MemoryImage::GetRunLengthAdditiveData(NativeDisplay* display)
{
    if (runLengthAdditiveData)
        return runLengthAdditiveData.get();
    const uint32_t* native = GetNativeAlphaData(display);
    if (!native)
        return nullptr;
    auto isLit = [](uint32_t pixel) { return (pixel & 0xFFFFFF) != 0 ? 1 : 0; };
    runLengthAdditiveData = std::make_unique_for_overwrite<uint8_t[]>(PixelCount());
    if (colorTable) {
        const uint8_t* indices = colorIndices.get();
        EncodeRuns(runLengthAdditiveData.get(), mWidth, mHeight, [&](size_t i) { return isLit(native[indices[i]]); });
    } else {
        EncodeRuns(runLengthAdditiveData.get(), mWidth, mHeight, [&](size_t i) { return isLit(native[i]); });
    }
    return runLengthAdditiveData.get();
}

} // namespace Lumo

#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/BuildPalette.h"
#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/NativeDisplay.h"

#include <algorithm>
#include <cstring>

namespace Lumo {

namespace {

template <typename T>
std::unique_ptr<T[]> CopyBuffer(const std::unique_ptr<T[]>& source, size_t count)
{
    if (!source)
        return nullptr;
    auto copy = std::make_unique_for_overwrite<T[]>(count);
    std::copy_n(source.get(), count, copy.get());
    return copy;
}

// Undoes the display conversion of one channel: removes the premultiplication
// and widens a narrower channel by shifting.
uint32_t WidenChannel(uint32_t native, uint32_t alpha, uint32_t mask, uint32_t bits, uint32_t shift)
{
    if (shift + bits > 32 || bits > 8)
        return 0;
    const uint32_t unpremultiplied = (((native & mask) * 256) / (alpha + 1)) & mask;
    return uint32_t((uint64_t(unpremultiplied) * 256) >> (shift + bits));
}

} // namespace

MemoryImage::MemoryImage() : MemoryImage(&ImageHost::Current()) {}

MemoryImage::MemoryImage(ImageHost* host) : app(host)
{
    app->AddImageToSet(this);
}

MemoryImage::MemoryImage(const MemoryImage& source)
    : Image(source), bitsChangeCount(source.bitsChangeCount), textureFlags(source.textureFlags),
      alphaFlagsForced(source.alphaFlagsForced), hasTransparency(source.hasTransparency),
      hasTranslucency(source.hasTranslucency), blitShortcut(source.blitShortcut), purgeWanted(source.purgeWanted),
      palettizeWanted(source.palettizeWanted), alphaCheckPending(source.alphaCheckPending), app(source.app)
{
    // Building the source's pixels for the copy is undone afterwards, so the
    // source keeps its storage mode; the object is logically unchanged.
    MemoryImage& from = const_cast<MemoryImage&>(source);
    const bool builtForCopy = !from.bits && !from.colorTable;
    if (builtForCopy)
        from.GetPixelBits();
    const size_t count = PixelCount();
    if (from.bits)
        bits = CopyBuffer(from.bits, count + 1);
    if (builtForCopy)
        from.bits.reset();
    colorTable = CopyBuffer(from.colorTable, 256);
    colorIndices = CopyBuffer(from.colorIndices, count);
    nativeAlphaData = CopyBuffer(from.nativeAlphaData, from.colorTable ? 256 : count);
    runLengthAlphaData = CopyBuffer(from.runLengthAlphaData, count);
    runLengthAdditiveData = CopyBuffer(from.runLengthAdditiveData, count);
    app->AddImageToSet(this);
}

MemoryImage::~MemoryImage()
{
    app->RemoveImageFromSet(this);
}

size_t MemoryImage::PixelCount() const
{
    if (mWidth <= 0 || mHeight <= 0)
        return 0;
    return size_t(mWidth) * size_t(mHeight);
}

void MemoryImage::AllocateBits()
{
    const size_t count = PixelCount();
    bits = std::make_unique_for_overwrite<uint32_t[]>(count + 1);
    bits[count] = kGuardWord;
}

void MemoryImage::DropPalette()
{
    if (colorTable)
        nativeAlphaData.reset();
    colorTable.reset();
    colorIndices.reset();
}

uint32_t* MemoryImage::GetPixelBits()
{
    if (bits)
        return bits.get();
    const size_t count = PixelCount();
    if (count == 0)
        return nullptr;
    AllocateBits();
    uint32_t* pixels = bits.get();
    if (colorTable && colorIndices) {
        for (size_t i = 0; i < count; ++i)
            pixels[i] = colorTable[colorIndices[i]];
        DropPalette();
    } else if (nativeAlphaData) {
        const NativeDisplay& format = *app->GetNativeDisplay();
        for (size_t i = 0; i < count; ++i) {
            const uint32_t native = nativeAlphaData[i];
            const uint32_t alpha = native >> 24;
            const uint32_t red = WidenChannel(native, alpha, format.mRedMask, format.mRedBits, format.mRedShift);
            const uint32_t green =
                WidenChannel(native, alpha, format.mGreenMask, format.mGreenBits, format.mGreenShift);
            const uint32_t blue = WidenChannel(native, alpha, format.mBlueMask, format.mBlueBits, format.mBlueShift);
            pixels[i] = alpha << 24 | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
        }
    } else if (!textureData || !app->CopyTexturesToBits(this)) {
        std::fill_n(pixels, count, 0u);
    }
    return pixels;
}

void MemoryImage::SetBits(const uint32_t* pixels, int width, int height, bool commit)
{
    if (pixels == bits.get())
        return;
    DropPalette();
    if (width != mWidth || height != mHeight) {
        mWidth = width;
        mHeight = height;
        AllocateBits();
    } else if (!bits) {
        AllocateBits();
    }
    std::copy_n(pixels, PixelCount(), bits.get());
    MarkBitsChanged();
    if (commit)
        CheckAlpha();
}

void MemoryImage::SetSize(int width, int height)
{
    bits.reset();
    // A palette of the old size would expand past its index buffer.
    DropPalette();
    hasTransparency = true;
    hasTranslucency = true;
    mWidth = width;
    mHeight = height;
    MarkBitsChanged();
}

void MemoryImage::Clear()
{
    uint32_t* pixels = GetPixelBits();
    if (!pixels)
        return;
    std::fill_n(pixels, PixelCount(), 0u);
    MarkBitsChanged();
}

void MemoryImage::SetAlphaFlags(bool transparency, bool translucency)
{
    alphaFlagsForced = true;
    hasTransparency = transparency;
    hasTranslucency = translucency;
}

void MemoryImage::SetBlitShortcut(bool shortcut)
{
    blitShortcut = shortcut;
}

void MemoryImage::MarkBitsChanged()
{
    ++bitsChangeCount;
    alphaCheckPending = true;
    nativeAlphaData.reset();
    runLengthAlphaData.reset();
    runLengthAdditiveData.reset();
}

void MemoryImage::CheckAlpha()
{
    if (!alphaCheckPending || alphaFlagsForced)
        return;
    auto scan = [this](const uint32_t* colors, size_t count) {
        bool transparent = false;
        bool translucent = false;
        for (size_t i = 0; i < count; ++i) {
            const uint32_t alpha = colors[i] >> 24;
            transparent |= alpha == 0;
            translucent |= alpha != 0 && alpha != 255;
        }
        hasTransparency = transparent;
        hasTranslucency = translucent;
    };
    if (bits) {
        scan(bits.get(), PixelCount());
    } else if (colorTable) {
        scan(colorTable.get(), 256);
    } else {
        hasTransparency = true;
        hasTranslucency = false;
    }
    alphaCheckPending = false;
}

void MemoryImage::DeleteSoftwareBuffers()
{
    if (!bits && !colorIndices)
        GetPixelBits();
    nativeAlphaData.reset();
    runLengthAdditiveData.reset();
    runLengthAlphaData.reset();
}

void MemoryImage::DeleteNativeData()
{
    if (!bits && !colorIndices)
        GetPixelBits();
    nativeAlphaData.reset();
    runLengthAdditiveData.reset();
}

void MemoryImage::DeleteHardwareData()
{
    app->DropImageTextures(this);
}

void MemoryImage::DeleteAllDerivedData()
{
    DeleteSoftwareBuffers();
    DeleteHardwareData();
}

void MemoryImage::PurgeBits()
{
    purgeWanted = true;
    if (app->Is3DAccelerated()) {
        if (textureData) {
            bits.reset();
            DropPalette();
        }
        return;
    }
    if (!bits && !colorIndices)
        return;
    GetNativeAlphaData(app->GetNativeDisplay());
    bits.reset();
    if (textureData)
        DropPalette();
}

bool MemoryImage::Palettize()
{
    CheckAlpha();
    if (colorTable)
        return true;
    const uint32_t* pixels = GetPixelBits();
    if (!pixels)
        return false;
    auto indices = std::make_unique_for_overwrite<uint8_t[]>(PixelCount());
    auto palette = std::make_unique<uint32_t[]>(256);
    if (!BuildPalette(pixels, indices.get(), mWidth, mHeight, palette.get())) {
        palettizeWanted = false;
        return false;
    }
    colorIndices = std::move(indices);
    colorTable = std::move(palette);
    bits.reset();
    nativeAlphaData.reset();
    palettizeWanted = true;
    return true;
}

void MemoryImage::ReapplyStorageMode()
{
    if (palettizeWanted)
        Palettize();
    if (purgeWanted)
        PurgeBits();
}

} // namespace Lumo

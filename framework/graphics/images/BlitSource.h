#pragma once

#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Lumo {

// Read access to a memory image's pixels for the blits. A palettized image
// is read through its palette, never expanded; an image drawn onto itself is
// read from a snapshot, so the result does not depend on the drawing order.
class BlitSource {
public:
    explicit BlitSource(MemoryImage& image)
        : mPitch(image.mWidth), mPalette(image.colorIndices ? image.colorTable.get() : nullptr),
          mIndices(mPalette ? image.colorIndices.get() : nullptr), mPixels(mPalette ? nullptr : image.GetPixelBits())
    {
    }

    // A snapshot of area of image, kept in storage.
    BlitSource(MemoryImage& image, const Rect& area, std::vector<uint32_t>& storage) : BlitSource(image)
    {
        if (!IsValid())
            return;
        storage.resize(size_t(area.mWidth) * size_t(area.mHeight));
        for (int32_t y = 0; y < area.mHeight; ++y) {
            uint32_t* row = storage.data() + size_t(y) * size_t(area.mWidth);
            const uint32_t* from = Row(area.mX, area.mY + y, area.mWidth, row);
            if (from != row)
                std::copy(from, from + area.mWidth, row);
        }
        mPitch = area.mWidth;
        mOriginX = area.mX;
        mOriginY = area.mY;
        mPalette = nullptr;
        mIndices = nullptr;
        mPixels = storage.data();
    }

    bool IsValid() const { return mPalette || mPixels; }

    // Whether Row needs room for count pixels of its own.
    bool NeedsScratch() const { return mPalette != nullptr; }

    // The pixels from one row to the next, when Row reads in place.
    size_t Pitch() const { return size_t(mPitch); }

    // count pixels from (x, y), in place or expanded into scratch.
    const uint32_t* Row(int32_t x, int32_t y, int32_t count, uint32_t* scratch) const
    {
        const size_t offset = size_t(y - mOriginY) * size_t(mPitch) + size_t(x - mOriginX);
        if (!mPalette)
            return mPixels + offset;
        for (int32_t i = 0; i < count; ++i)
            scratch[i] = mPalette[mIndices[offset + size_t(i)]];
        return scratch;
    }

    // Random access for the resampling blits, typed per storage form; in the
    // image's own coordinates, so not for snapshots.
    class DirectPlane {
    public:
        DirectPlane(const uint32_t* pixels, int32_t pitch) : mPixels(pixels), mPitch(pitch) {}
        uint32_t operator()(int32_t x, int32_t y) const { return *At(x, y); }
        const uint32_t* At(int32_t x, int32_t y) const { return mPixels + size_t(y) * size_t(mPitch) + size_t(x); }

    private:
        const uint32_t* mPixels;
        int32_t mPitch;
    };

    class PalettePlane {
    public:
        PalettePlane(const uint8_t* indices, const uint32_t* palette, int32_t pitch)
            : mIndices(indices), mPalette(palette), mPitch(pitch)
        {
        }
        uint32_t operator()(int32_t x, int32_t y) const
        {
            return mPalette[mIndices[size_t(y) * size_t(mPitch) + size_t(x)]];
        }

    private:
        const uint8_t* mIndices;
        const uint32_t* mPalette;
        int32_t mPitch;
    };

    template <typename Visit>
    void VisitPlane(Visit visit) const
    {
        if (mPalette)
            visit(PalettePlane(mIndices, mPalette, mPitch));
        else
            visit(DirectPlane(mPixels, mPitch));
    }

private:
    int32_t mPitch;
    int32_t mOriginX = 0;
    int32_t mOriginY = 0;
    const uint32_t* mPalette;
    const uint8_t* mIndices;
    const uint32_t* mPixels;
};

} // namespace Lumo

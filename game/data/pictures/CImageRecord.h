#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"

#include <cstdint>
#include <memory>
#include <string>

class CImageTable;

// One picture of the image table: an image file, a blank image made at a
// given size, or a proxy whose file is loaded into another slot's image.
struct CImageRecord {
    enum Kind : int32_t { kFile = 0, kBlank = 1, kProxy = 2 };
    static constexpr int32_t kNone = -2;

    int32_t mKind = kFile;
    std::string mName;
    std::string mAlphaName;
    // The image the record's slots show; owned through mOwnedImage except for proxies.
    Lumo::MemoryImage* mImage = nullptr;
    CImageTable* mTable = nullptr;
    int32_t mFirstSlot = 0;
    int32_t mSlotCount = 1;
    int32_t mRecordIndex = 0;
    // For an image other records load into: the record whose pixels it holds (-2 until loaded).
    int32_t mContent = kNone;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mTargetSlot = kNone;
    bool mPalletize = false;

    std::unique_ptr<Lumo::MemoryImage> mOwnedImage;
    // Strip pages draw into their image through this.
    std::unique_ptr<Lumo::Graphics> mGraphics;

    bool IsLoaded() const { return mContent == mRecordIndex; }
};

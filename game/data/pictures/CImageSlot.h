#pragma once

#include "framework/graphics/images/MemoryImage.h"
#include "framework/graphics/Rect.h"

struct CImageRecord;

// What every game picture is addressed by: an image, a source rectangle (all
// zero for a record's first slot: the whole image) and the owning record.
struct CImageSlot {
    Lumo::MemoryImage* mImage = nullptr;
    Lumo::Rect mRect{};
    CImageRecord* mRecord = nullptr;
};

#pragma once

#include "framework/graphics/Rect.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CImageTable;
struct CImageRecord;

// Packs small pictures made at run time into two 512 x 512 page images, on
// shelves one or more 32-pixel cell rows high; each picture is a rectangle of
// a page addressed by an image-table slot.
class CImageAtlas {
public:
    static constexpr int32_t kPageSize = 512;
    static constexpr int32_t kCell = 32;
    static constexpr int32_t kRowsPerPage = 16;
    static constexpr int32_t kCellsPerRow = 17;
    static constexpr int32_t kPages = 2;
    static constexpr int32_t kCellEntries = kPages * kRowsPerPage * kCellsPerRow;
    static constexpr int32_t kRecentShelves = 4;

    struct Shelf {
        // Cell row over both pages: 0 to 15 on the first, 16 to 31 on the second.
        int32_t mTopRow;
        int32_t mHeight;
        int32_t mHeightCells;
        int32_t mFreeWidth;
        int32_t mFreeWidthCells;
        int32_t mImageCount;
        int32_t mPage;
    };
    struct CellEntry {
        int32_t mSlot = 0;
        int32_t mWidthCells = 0;
    };
    struct RecentShelf {
        int32_t mHeight;
        int32_t mShelf;
        int32_t mTopRow;
    };

    // Makes the two pages in the table. False when they cannot be made.
    bool Setup(CImageTable& table);

    // A slot for a width x height rectangle of a page; false (no slot) when
    // no shelf or free region can hold it.
    bool Alloc(int32_t width, int32_t height, int32_t* slot);
    // Takes the slot's picture off its shelf: the pictures right of it move
    // left by its width, pixels and slots alike; an empty shelf is retired.
    void Free(int32_t slot);
    // Moves the picture of source slot into a new atlas slot (clearing the
    // source region); -2 and false when it does not fit.
    bool CopyImage(int32_t sourceSlot, int32_t* slot);

    const std::vector<Shelf>& Shelves() const { return mShelves; }
    int32_t ShelvesInUse() const { return mInUse; }
    const CImageRecord* Page(int32_t page) const { return mPages[size_t(page)]; }

private:
    int32_t ChooseShelf(int32_t width, int32_t height);
    void RememberShelf(int32_t height, int32_t shelf);
    void MoveRecentToFront(size_t entry);
    int32_t FindShelf(int32_t page, int32_t topRow);
    void RetireShelf(int32_t shelf);
    CellEntry* RowEntries(int32_t topRow) { return &mCells[size_t(topRow * kCellsPerRow)]; }

    CImageTable* mTable = nullptr;
    std::array<CImageRecord*, kPages> mPages{};
    std::vector<Shelf> mShelves;
    int32_t mInUse = 0;
    std::array<CellEntry, kCellEntries> mCells{};
    std::vector<RecentShelf> mRecent;
};

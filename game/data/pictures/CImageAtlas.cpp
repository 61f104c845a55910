#include "game/data/pictures/CImageAtlas.h"

#include "framework/core/AppLog.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t CellsFor(int32_t pixels) { return pixels / CImageAtlas::kCell + (pixels % CImageAtlas::kCell ? 1 : 0); }

} // namespace

bool CImageAtlas::Setup(CImageTable& table)
{
    mTable = &table;
    mCells.fill(CellEntry{});
    mShelves.clear();
    mRecent.clear();
    mInUse = 0;
    for (int32_t page = 0; page < kPages; ++page) {
        mPages[size_t(page)] = table.AddBlankRecord("atlas page", kPageSize, kPageSize, false);
        if (!mPages[size_t(page)])
            return false;
        mShelves.push_back(Shelf{page * kRowsPerPage, kPageSize, kRowsPerPage, kPageSize, kPageSize / kCell, 0, page});
    }
    return true;
}

void CImageAtlas::MoveRecentToFront(size_t entry)
{
    std::rotate(mRecent.begin(), mRecent.begin() + std::ptrdiff_t(entry), mRecent.begin() + std::ptrdiff_t(entry) + 1);
}

void CImageAtlas::RememberShelf(int32_t height, int32_t shelf)
{
    const RecentShelf entry{height, shelf, mShelves[size_t(shelf)].mTopRow};
    if (mRecent.size() < size_t(kRecentShelves)) {
        mRecent.insert(mRecent.begin(), entry);
        return;
    }
    mRecent.back() = mRecent.front();
    mRecent.front() = entry;
}

int32_t CImageAtlas::ChooseShelf(int32_t width, int32_t height)
{
    for (size_t i = 0; i < mRecent.size(); ++i) {
        const RecentShelf& entry = mRecent[i];
        if (entry.mHeight == height && mShelves[size_t(entry.mShelf)].mFreeWidth >= width) {
            const int32_t shelf = entry.mShelf;
            MoveRecentToFront(i);
            return shelf;
        }
    }
    int32_t best = -1;
    int32_t bestSurplus = 1024;
    for (size_t i = 0; i < mShelves.size(); ++i) {
        const Shelf& shelf = mShelves[i];
        if (shelf.mHeight < height || shelf.mFreeWidth < width)
            continue;
        const int32_t surplus = shelf.mHeight - height;
        if (surplus < bestSurplus) {
            best = int32_t(i);
            bestSurplus = surplus;
            if (surplus == 0)
                break;
        }
    }
    if (best < 0)
        return -1;
    if (best >= mInUse) {
        // Split a shelf of the rectangle's height off the top of the free region.
        Shelf& region = mShelves[size_t(best)];
        const int32_t cells = CellsFor(height);
        const Shelf shelf{region.mTopRow, cells * kCell, cells, kPageSize, kPageSize / kCell, 0, region.mPage};
        region.mTopRow += cells;
        region.mHeightCells -= cells;
        region.mHeight -= cells * kCell;
        if (region.mHeightCells == 0)
            mShelves.erase(mShelves.begin() + best);
        mShelves.insert(mShelves.begin() + mInUse, shelf);
        best = mInUse++;
    }
    RememberShelf(height, best);
    return best;
}

bool CImageAtlas::Alloc(int32_t width, int32_t height, int32_t* slot)
{
    if (!mTable || width < 1 || height < 1 || width > kPageSize || height > kPageSize)
        return false;
    const int32_t index = ChooseShelf(width, height);
    if (index < 0)
        return false;
    Shelf& shelf = mShelves[size_t(index)];
    const int32_t cells = CellsFor(width);
    const Lumo::Rect rect{kPageSize - shelf.mFreeWidth, (shelf.mTopRow % kRowsPerPage) * kCell, width, height};
    CImageRecord* page = mPages[size_t(shelf.mPage)];
    *slot = mTable->NewSlot(page->mImage, page);
    mTable->Slot(*slot)->mRect = rect;
    RowEntries(shelf.mTopRow)[shelf.mImageCount] = CellEntry{*slot, cells};
    shelf.mFreeWidth -= cells * kCell;
    shelf.mFreeWidthCells -= cells;
    ++shelf.mImageCount;
    return true;
}

int32_t CImageAtlas::FindShelf(int32_t page, int32_t topRow)
{
    for (size_t i = 0; i < mRecent.size(); ++i) {
        const int32_t shelf = mRecent[i].mShelf;
        if (mShelves[size_t(shelf)].mTopRow == topRow && mShelves[size_t(shelf)].mPage == page) {
            MoveRecentToFront(i);
            return shelf;
        }
    }
    for (int32_t i = 0; i < mInUse; ++i) {
        if (mShelves[size_t(i)].mTopRow == topRow && mShelves[size_t(i)].mPage == page) {
            RememberShelf(mShelves[size_t(i)].mHeight, i);
            return i;
        }
    }
    return -1;
}

void CImageAtlas::Free(int32_t slot)
{
    CImageSlot* found = mTable ? mTable->Slot(slot) : nullptr;
    const auto pageOf = found ? std::find(mPages.begin(), mPages.end(), found->mRecord) : mPages.end();
    if (pageOf == mPages.end()) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: atlas slot %d is not in the atlas", slot);
        return;
    }
    const int32_t page = int32_t(pageOf - mPages.begin());
    const int32_t shelfIndex = FindShelf(page, page * kRowsPerPage + found->mRect.mY / kCell);
    if (shelfIndex < 0)
        return;
    Shelf& shelf = mShelves[size_t(shelfIndex)];
    CellEntry* entries = RowEntries(shelf.mTopRow);
    int32_t position = 0;
    while (position < shelf.mImageCount && entries[position].mSlot != slot)
        ++position;
    if (position == shelf.mImageCount)
        return;

    const int32_t shift = entries[position].mWidthCells * kCell;
    const int32_t from = found->mRect.mX + shift;
    const int32_t used = kPageSize - shelf.mFreeWidth;
    Lumo::MemoryImage* image = (*pageOf)->mImage;
    if (uint32_t* bits = image->GetPixelBits(); bits && used > from) {
        const int32_t top = (shelf.mTopRow % kRowsPerPage) * kCell;
        for (int32_t y = top; y < top + shelf.mHeight; ++y) {
            uint32_t* row = bits + size_t(y) * kPageSize;
            std::memmove(row + found->mRect.mX, row + from, size_t(used - from) * sizeof(uint32_t));
        }
        image->MarkBitsChanged();
    }
    for (int32_t i = position + 1; i < shelf.mImageCount; ++i) {
        mTable->Slot(entries[i].mSlot)->mRect.mX -= shift;
        entries[i - 1] = entries[i];
    }
    entries[shelf.mImageCount - 1] = CellEntry{};
    --shelf.mImageCount;
    shelf.mFreeWidth += shift;
    shelf.mFreeWidthCells += shift / kCell;
    mTable->FreeSlot(slot);
    if (shelf.mImageCount == 0)
        RetireShelf(shelfIndex);
}

void CImageAtlas::RetireShelf(int32_t index)
{
    const Shelf shelf = mShelves[size_t(index)];
    const int32_t last = mInUse - 1;
    std::erase_if(mRecent, [index](const RecentShelf& entry) { return entry.mShelf == index; });
    for (RecentShelf& entry : mRecent) {
        if (entry.mShelf == last)
            entry.mShelf = index;
    }
    for (int32_t row = shelf.mTopRow; row < shelf.mTopRow + shelf.mHeightCells; ++row)
        RowEntries(row)[0] = CellEntry{};
    mShelves[size_t(index)] = mShelves[size_t(last)];
    mShelves.erase(mShelves.begin() + last);
    mInUse = last;

    // Free regions of the same page directly above and below join it.
    auto regions = mShelves.begin() + mInUse;
    auto above = std::find_if(regions, mShelves.end(), [&](const Shelf& region) {
        return region.mPage == shelf.mPage && region.mTopRow + region.mHeightCells == shelf.mTopRow;
    });
    auto below = std::find_if(regions, mShelves.end(), [&](const Shelf& region) {
        return region.mPage == shelf.mPage && region.mTopRow == shelf.mTopRow + shelf.mHeightCells;
    });
    if (above == mShelves.end() && below == mShelves.end()) {
        mShelves.push_back(shelf);
        return;
    }
    Shelf& merged = above != mShelves.end() ? *above : *below;
    merged.mTopRow = std::min(merged.mTopRow, shelf.mTopRow);
    merged.mHeightCells += shelf.mHeightCells;
    if (above != mShelves.end() && below != mShelves.end())
        merged.mHeightCells += below->mHeightCells;
    merged.mHeight = merged.mHeightCells * kCell;
    if (above != mShelves.end() && below != mShelves.end())
        mShelves.erase(below);
}

bool CImageAtlas::CopyImage(int32_t sourceSlot, int32_t* slot)
{
    const CImageSlot* source = mTable ? mTable->Slot(sourceSlot) : nullptr;
    const Lumo::Rect sourceRect = mTable ? mTable->SourceRect(sourceSlot) : Lumo::Rect{};
    Lumo::MemoryImage* sourceImage = source ? source->mImage : nullptr;
    if (!sourceImage || !Alloc(sourceRect.mWidth, sourceRect.mHeight, slot)) {
        *slot = CImageRecord::kNone;
        return false;
    }
    const CImageSlot* target = mTable->Slot(*slot);
    Lumo::MemoryImage* page = target->mImage;
    page->SetAlphaFlags(false, true);
    page->ClearRect(target->mRect);
    page->Blit(sourceImage, target->mRect.mX, target->mRect.mY, sourceRect, Lumo::Color(255, 255, 255), 0);
    sourceImage->ClearRect(sourceRect);
    return true;
}

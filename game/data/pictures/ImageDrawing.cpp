#include "game/data/pictures/ImageDrawing.h"

#include "framework/graphics/Graphics.h"
#include "game/data/animation/CCurve.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>

void DrawImageCel(int32_t slot, const CImageTable& table, Lumo::Graphics& graphics, int32_t x, int32_t y)
{
    const CImageSlot* found = table.Slot(slot);
    if (!found || !found->mImage)
        return;
    graphics.DrawImageSrcRect(found->mImage, x, y, table.SourceRect(slot));
}

void DrawImageScrolled(const CScrollImage& scroll, const CImageTable& table, Lumo::Graphics& graphics)
{
    const CImageSlot* found = table.Slot(scroll.mSlot);
    if (!found || !found->mImage)
        return;
    const Lumo::Rect rect = table.SourceRect(scroll.mSlot);
    const int32_t width = scroll.mWidth;
    const int32_t offset = std::clamp(TruncateToInt(scroll.mFraction * float(width)), 0, std::max(width, 0));
    if (offset == 0 || offset == width) {
        graphics.DrawImageSrcRect(found->mImage, scroll.mX, scroll.mY, rect);
        return;
    }
    const Lumo::Rect left{rect.mX, rect.mY, offset, rect.mHeight};
    const Lumo::Rect right{rect.mX + offset, rect.mY, width - offset, rect.mHeight};
    if (!scroll.mRight) {
        graphics.DrawImageSrcRect(found->mImage, scroll.mX, scroll.mY, right);
        graphics.DrawImageSrcRect(found->mImage, scroll.mX + width - offset, scroll.mY, left);
    } else {
        const Lumo::Rect tail{rect.mX + width - offset, rect.mY, offset, rect.mHeight};
        const Lumo::Rect head{rect.mX, rect.mY, width - offset, rect.mHeight};
        graphics.DrawImageSrcRect(found->mImage, scroll.mX, scroll.mY, tail);
        graphics.DrawImageSrcRect(found->mImage, scroll.mX + offset, scroll.mY, head);
    }
}

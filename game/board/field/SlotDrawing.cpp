#include "game/board/field/SlotDrawing.h"

#include "framework/graphics/Graphics.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"
#include "game/data/pictures/ImageDrawing.h"

void DrawObject(const CObjBase& objects, const CImageTable& images, int32_t object, Lumo::Graphics& graphics,
                int32_t x, int32_t y)
{
    if (object < 0 || size_t(object) >= objects.Ranges().size())
        return;
    const CObjBase::Range& range = objects.Ranges()[size_t(object)];
    for (int32_t i = range.mFirst; i < range.mEnd && size_t(i) < objects.Sprites().size(); ++i) {
        const CObjBase::Sprite& sprite = objects.Sprites()[size_t(i)];
        DrawImageCel(sprite.mSlot, images, graphics, x + sprite.mX, y + sprite.mY);
    }
}

void DrawSlotMasked(const CImageTable& images, Lumo::Graphics& graphics, int32_t slot, int32_t x, int32_t y,
                    int32_t maskSlot, int32_t maskX, int32_t maskY)
{
    const CImageSlot* source = images.Slot(slot);
    const CImageSlot* mask = images.Slot(maskSlot);
    if (!source || !source->mImage || !mask || !mask->mImage)
        return;
    const Lumo::Rect maskRect = images.SourceRect(maskSlot);
    graphics.DrawImageMasked(source->mImage, x, y, images.SourceRect(slot), mask->mImage, maskX - maskRect.mX,
                             maskY - maskRect.mY);
}

#include "game/screens/windows/GUIDrawSlot.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/screens/windows/CGUIHost.h"

void GUIDrawSlot(CGUIHost& host, Lumo::Graphics& graphics, int32_t slot, int32_t x, int32_t y)
{
    Lumo::Rect rect;
    Lumo::MemoryImage* image = host.SlotImage(slot, &rect);
    if (image != nullptr)
        graphics.DrawImageSrcRect(image, x, y, rect);
}

int32_t GUISlotHeight(CGUIHost& host, int32_t slot)
{
    Lumo::Rect rect;
    return host.SlotImage(slot, &rect) != nullptr ? rect.mHeight : 0;
}

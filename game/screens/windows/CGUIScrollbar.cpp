#include "game/screens/windows/CGUIScrollbar.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/CGUIScrollButton.h"
#include "game/screens/windows/GUIDrawSlot.h"

#include <algorithm>

CGUIScrollbar::CGUIScrollbar(int id, Lumo::ScrollListener* listener, CGUIHost* host, const Images& images,
                             int32_t thumbOffset)
    : Lumo::ScrollbarWidget(id, listener), mHost(host), mArrowSize(GUISlotHeight(*host, images.mUp)),
      mImages(images),
      mThumbHeight(GUISlotHeight(*host, images.mThumb)), mThumbX(thumbOffset)
{
    mUpButton = new CGUIScrollButton(0, this, host, images.mUp);
    mDownButton = new CGUIScrollButton(1, this, host, images.mDown);
    AddChild(mUpButton);
    AddChild(mDownButton);
}

CGUIScrollbar::~CGUIScrollbar() = default;

void CGUIScrollbar::Resize(int x, int y, int width, int height)
{
    Lumo::ScrollbarWidget::Resize(x, y, width, height);
    mUpButton->Resize(0, 0, width, mArrowSize);
    mDownButton->Resize(0, height - mArrowSize, width, mArrowSize);
}

int CGUIScrollbar::ThumbOffset()
{
    if (mMaximum <= mPageLength)
        return mArrowSize;
    return static_cast<int>((TrackLength() - ThumbLength()) * mPosition / (mMaximum - mPageLength)) + mArrowSize;
}

void CGUIScrollbar::SetThumbOffset(int offset)
{
    const int range = TrackLength() - ThumbLength();
    // A thumb that fills its track has no offset to map: the list stays at its start.
    if (range <= 0) {
        SetPosition(0.0);
        return;
    }
    SetPosition((offset - mArrowSize) * (mMaximum - mPageLength) / range);
}

void CGUIScrollbar::Draw(Lumo::Graphics& graphics)
{
    GUIDrawSlot(*mHost, graphics, mImages.mRail, 0, mArrowSize);
    const int length = ThumbLength();
    if (length > 0)
        DrawThumbBox(graphics, mThumbX, ThumbOffset(), mWidth, length);
}

void CGUIScrollbar::DrawThumbBox(Lumo::Graphics& graphics, int x, int y, int, int height)
{
    GUIDrawSlot(*mHost, graphics, mImages.mThumbTop, x, y);
    const int bottomHeight = GUISlotHeight(*mHost, mImages.mThumbBottom);
    const int end = y + height - bottomHeight;
    int pos = y + GUISlotHeight(*mHost, mImages.mThumbTop);
    if (mThumbHeight > 0) {
        Lumo::Rect rect;
        Lumo::MemoryImage* image = mHost->SlotImage(mImages.mThumb, &rect);
        while (pos < end) {
            const int step = std::min(mThumbHeight, end - pos);
            graphics.DrawImageSrcRect(image, x, pos, Lumo::Rect{rect.mX, rect.mY, rect.mWidth, step});
            pos += step;
        }
    }
    GUIDrawSlot(*mHost, graphics, mImages.mThumbBottom, x, pos);
}

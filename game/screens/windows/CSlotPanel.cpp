#include "game/screens/windows/CSlotPanel.h"

#include "framework/app/LumoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/GUIDrawSlot.h"

#include <algorithm>

CSlotPanel::CSlotPanel(CGUIController* controller) : mController(controller) {}

CSlotPanel::~CSlotPanel()
{
    Release();
}

void CSlotPanel::SetUp(int32_t count)
{
    CGUIController& gui = *mController;
    const CGUIController::SlotPanelLook& look = gui.mSlotLook;
    mHintSource = [&gui](int32_t slot) { return gui.mStageNames[size_t(std::clamp(slot, 0, 4))]; };
    if (mHintTrack == nullptr)
        mHintTrack = gui.Host().Tracks().NewIdleInstance();
    mHintTrack->mSpeed = look.mHintFadeSpeed;
    mCount = std::clamp(count, 0, kSlots);
    for (int32_t glyph : look.mGlyphs)
        gui.Host().FetchSlotImage(glyph);
    mHovered = -1;
    mFading = -1;
    mSelected = 0;
    gui.SetLabelValue(gui.InfoLabelIndex(kInfoSlot), 0);
    gui.App()->PlaySoundById(CGUIController::kSoundHover);
}

void CSlotPanel::Release()
{
    if (mHintTrack != nullptr) {
        mController->StopTrack(mHintTrack);
        mController->Host().Tracks().FreeInstance(mHintTrack);
        mHintTrack = nullptr;
        for (int32_t glyph : mController->mSlotLook.mGlyphs)
            mController->Host().ReleaseSlotImage(glyph);
    }
    mHovered = -1;
    mFading = -1;
}

bool CSlotPanel::SlotHit(int32_t slot, int32_t x, int32_t y) const
{
    if (slot < 0 || slot >= mCount)
        return false;
    const CGUIController::SlotPanelLook& look = mController->mSlotLook;
    Lumo::Rect rect;
    Lumo::MemoryImage* image = mController->Host().SlotImage(look.mGlyphs[size_t(slot)], &rect);
    if (image == nullptr)
        return false;
    const int32_t px = x - (look.mGlyphX + slot * look.mGlyphStep);
    const int32_t py = y - look.mGlyphY;
    if (px < 0 || py < 0 || px >= rect.mWidth || py >= rect.mHeight)
        return false;
    const int32_t ix = rect.mX + px;
    const int32_t iy = rect.mY + py;
    const uint32_t* bits = image->GetPixelBits();
    if (bits == nullptr || ix >= image->mWidth || iy >= image->mHeight)
        return false;
    return (bits[size_t(iy) * size_t(image->mWidth) + size_t(ix)] >> 24) >= kMinHitAlpha;
}

void CSlotPanel::HitTest(int32_t x, int32_t y)
{
    if (mHovered >= 0 && SlotHit(mHovered, x, y))
        return;
    for (int32_t slot = 0; slot < mCount; ++slot) {
        if (SlotHit(slot, x, y)) {
            HoverStart(slot);
            return;
        }
    }
    if (mHovered >= 0)
        HoverEnd(mHovered);
}

void CSlotPanel::RunHint(float time)
{
    if (mHintTrack == nullptr)
        return;
    mController->StopTrack(mHintTrack);
    mHintTrack->mTime = time;
    mHintTrack->mRunning = 1;
    mHintTrack->mRepeatCount = 1;
    mController->StartTrack(mHintTrack, kTrackKind, 0, 0);
}

void CSlotPanel::HoverStart(int32_t slot)
{
    mHovered = slot;
    mFading = slot;
    mFadingOut = false;
    RunHint(0.0f);
}

void CSlotPanel::HoverEnd(int32_t slot)
{
    mFading = slot;
    RunHint(mHintTrack != nullptr ? 1.0f - mHintTrack->mTime : 0.0f);
    mHovered = -1;
    mFadingOut = true;
}

void CSlotPanel::Draw(Lumo::Graphics& graphics, int32_t alpha)
{
    CGUIController& gui = *mController;
    const CGUIController::SlotPanelLook& look = gui.mSlotLook;
    graphics.PushState();
    const bool tint = alpha != 255;
    graphics.SetTintImages(tint);
    graphics.SetColor(Lumo::Color(255, 255, 255, alpha));
    for (int32_t i = 0; i < mCount; ++i) {
        const int32_t x = look.mGlyphX + i * look.mGlyphStep;
        if (i == mSelected)
            GUIDrawSlot(gui.Host(), graphics, look.mHighlight, x, look.mGlyphY);
        GUIDrawSlot(gui.Host(), graphics, look.mGlyphs[size_t(i)], x, look.mGlyphY);
    }
    graphics.SetTintImages(true);
    graphics.SetColor(Lumo::Color(255, 255, 255, std::min(alpha, kDimAlpha)));
    for (int32_t i = mCount; i < kSlots; ++i)
        GUIDrawSlot(gui.Host(), graphics, look.mGlyphs[size_t(i)], look.mGlyphX + i * look.mGlyphStep, look.mGlyphY);
    Lumo::Font* font = gui.Host().FontByIndex(look.mHintFont);
    if (mFading >= 0 && mHintTrack != nullptr && font != nullptr && mHintSource) {
        int32_t hint = TruncateToInt(mHintTrack->mTime * 255.0f);
        if (mFadingOut)
            hint = 255 - hint;
        hint = std::min(std::clamp(hint, 0, 255), alpha);
        graphics.SetFont(font);
        graphics.SetColor(Lumo::Color(255, 255, 255, hint));
        graphics.DrawText(mHintSource(mFading), look.mGlyphX + mFading * look.mGlyphStep + look.mHintX,
                          look.mGlyphY + look.mHintY);
    }
    graphics.PopState();
}

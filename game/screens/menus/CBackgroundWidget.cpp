#include "game/screens/menus/CBackgroundWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/CGameConfig.h"
#include "game/data/pictures/CImageRecord.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kScreenHeight = 600;

Lumo::MemoryImage* SlotPicture(CImageTable& images, int32_t slot)
{
    const CImageSlot* entry = images.Slot(slot);
    return entry && entry->mRecord ? entry->mRecord->mImage : nullptr;
}

int FadeAlpha(float fade)
{
    return std::clamp(int(fade * 255.0f), 0, 255);
}

} // namespace

CBackgroundWidget::CBackgroundWidget(CGUIController* gui, const CUserProfiles* profiles)
    : mGui(gui), mProfiles(profiles)
{
    // It fades in and out over the board, which must then be drawn beneath it.
    mSeeThrough = true;
}

void CBackgroundWidget::SetupFromBackground(CImageTable& images)
{
    mFront = SlotPicture(images, CGameConfig::live.menuImg);
    mBack = SlotPicture(images, CGameConfig::live.menubgImg);
    mState = kHidden;
    mPictureHeight = mBack ? mBack->mHeight : 0;
    mFade = 0.0f;
}

void CBackgroundWidget::FadeIn()
{
    mMenuOpened = false;
    mState = kFadingIn;
}

void CBackgroundWidget::FadeOut()
{
    mState = kFadingOut;
}

void CBackgroundWidget::Update()
{
    bool changed = false;
    // Without a back picture there is nothing to scroll or wrap.
    if (mPictureHeight > 0) {
        mScroll += CGameConfig::live.menubgSpd;
        const int offset = int(mScroll);
        changed = offset != mOffset;
        mOffset = offset;
        if (std::abs(mOffset) > mPictureHeight) {
            mOffset %= mPictureHeight;
            mScroll = float(mOffset) + (mScroll - std::floor(mScroll));
        }
    }
    const int alphaBefore = FadeAlpha(mFade);
    if (mState == kFadingIn) {
        mFade += mFadeInSpeed;
        if (mFade >= 1.0f) {
            mState = kShown;
            if (!mMenuOpened) {
                mMenuOpened = true;
                if (mGui != nullptr) {
                    mGui->mOwner = this;
                    const bool players = mProfiles != nullptr && mProfiles->Count() > 0;
                    mGui->OpenWindow(players ? GUIWindowId::kMenu : GUIWindowId::kCreatePlayer1, false);
                }
            }
        }
    } else if (mState == kFadingOut) {
        mFade -= mFadeOutSpeed;
        if (mFade <= 0.0f) {
            mState = kHidden;
            if (mParent)
                mParent->RemoveChild(this);
            return;
        }
        changed = true;
    }
    if (mState != kHidden && FadeAlpha(mFade) != alphaBefore)
        changed = true;
    // The windows move while their tracks run; the board behind advances them after this update.
    if (mState == kShown && mGui != nullptr && mGui->mOwner == this && mGui->Animating())
        changed = true;
    if (changed)
        MarkDirty();
}

void CBackgroundWidget::Draw(Lumo::Graphics& graphics)
{
    if (mState == kHidden)
        return;
    if (mState == kFadingIn || mState == kFadingOut) {
        graphics.SetColor(Lumo::Color(255, 255, 255, FadeAlpha(mFade)));
        graphics.SetTintImages(true);
    }
    if (mBack && mPictureHeight > 0) {
        // Copies from above the window down to its bottom, whichever way it scrolls.
        int y = mOffset;
        while (y > 0)
            y -= mPictureHeight;
        for (; y < kScreenHeight; y += mPictureHeight)
            graphics.DrawImage(mBack, 0, y);
    }
    if (mFront)
        graphics.DrawImage(mFront, 0, 0);
    graphics.SetTintImages(false);
    if (mState == kShown && mGui != nullptr)
        mGui->DrawWindow(graphics);
}

// What the pointer does may light, press or scroll the windows' controls.
void CBackgroundWidget::MouseMove(int x, int y)
{
    if (CGUIController* gui = PointerGui()) {
        gui->OnPointerMove(x, y);
        MarkDirty();
    }
}

void CBackgroundWidget::MouseDown(int x, int y, int, int clickCount)
{
    if (CGUIController* gui = PointerGui()) {
        gui->OnPointerDown(x, y, clickCount > 1);
        MarkDirty();
    }
}

void CBackgroundWidget::MouseUp(int x, int y, int, int)
{
    if (CGUIController* gui = PointerGui()) {
        gui->OnPointerUp(x, y);
        MarkDirty();
    }
}

void CBackgroundWidget::MouseWheel(int delta)
{
    if (CGUIController* gui = PointerGui()) {
        gui->ScrollList(delta);
        MarkDirty();
    }
}

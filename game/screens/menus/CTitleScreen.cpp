#include "game/screens/menus/CTitleScreen.h"

#include "framework/app/LumoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/JukeBox.h"
#include "game/screens/menus/CScreenHost.h"

#include <algorithm>

namespace {

constexpr int kWheelX = 363;
constexpr int kWheelY = 35;
constexpr int kWheelFadeStart = 401;
constexpr int kLatestHandOver = 501;

int FadeAlpha(float fade)
{
    return std::clamp(int(fade * 255.0f), 0, 255);
}

} // namespace

CTitleScreen::CTitleScreen(Lumo::LumoAppBase& app, CScreenHost& host) : mApp(app), mHost(host)
{
    // Without its picture the wheel turns over the board, which must then be drawn beneath it.
    mSeeThrough = true;
}

CTitleScreen::~CTitleScreen() = default;

void CTitleScreen::LoadSplash()
{
    mPicture.reset(mApp.CreateImageFromFileAlt("res\\splash_800x600", true));
    mWheelFrames = 0;
    mWheelAngle = 0.0f;
    mSplash = true;
    mFade = 0.0f;
    mState = kFadingIn;
    mUpdates = 0;
    mHoldSpeed = 0.005f;
    // The wheel may start fading before loading ends: it fades from full.
    mWheelAlpha = 1.0f;
    mWheelVisible = false;
    mWheelFading = false;
    mLoadingDone = false;
}

void CTitleScreen::StartTitle()
{
    mWheelAlpha = mFade;
    mLoadingDone = true;
    JukeBox::Get().PlaySong(0, 0.005f);
    if (mState == kTitle && !mWheelVisible && mUpdates > kLatestHandOver - 1)
        HandOver();
}

void CTitleScreen::HandOver()
{
    mState = kFadingOut;
    mFade = 1.0f;
    mHost.ShowGameScreen();
}

void CTitleScreen::Update()
{
    if (mState == kFadingOut) {
        mFade -= mFadeOutSpeed;
        if (mFade <= 0.0f) {
            if (mSplash) {
                mFade = 1.0f;
                mSplash = false;
                mPicture.reset(mApp.CreateImageFromFileAlt("res\\titlescreen", true));
                mState = kTitle;
                mWheelVisible = true;
            } else {
                mState = kGone;
                mHost.TitleScreenGone(this);
                return;
            }
        }
    }
    if (mState == kFadingIn) {
        mFade += mFadeInSpeed;
        if (mFade > 1.0f && mSplash) {
            mState = kHolding;
            mFade = 0.0f;
        }
    }
    if (mState == kHolding) {
        mFade += mHoldSpeed;
        if (mFade > 1.0f)
            mState = kFadingOut;
    }
    if (!mSplash)
        UpdateTitle();
    if (mState != kGone)
        MarkDirty();
}

void CTitleScreen::UpdateTitle()
{
    if (mWheelFading) {
        mWheelAlpha -= mWheelFadeSpeed;
        if (mWheelAlpha <= 0.2f) {
            mWheelFading = false;
            mWheelVisible = false;
            if (mLoadingDone && mState == kTitle && mUpdates > kWheelFadeStart - 1)
                HandOver();
        }
    }
    if (mWheelVisible && ++mWheelFrames == 10) {
        mWheelFrames = 0;
        mWheelAngle += 0.157f;
    }
    ++mUpdates;
    if (mUpdates == kWheelFadeStart)
        mWheelFading = true;
    else if (mUpdates == kLatestHandOver && mState == kTitle && !mWheelVisible && mLoadingDone)
        HandOver();
}

void CTitleScreen::Draw(Lumo::Graphics& graphics)
{
    const bool fading = mState == kFadingIn || mState == kFadingOut;
    if (fading) {
        graphics.SetColor(Lumo::Color(0, 0, 0));
        graphics.FillRect(0, 0, mWidth, mHeight);
        graphics.SetColor(Lumo::Color(255, 255, 255, FadeAlpha(mFade)));
        graphics.SetTintImages(true);
    } else {
        graphics.SetColor(Lumo::Color(255, 255, 255));
    }
    if (mPicture)
        graphics.DrawImage(mPicture.get(), 0, 0);
    Lumo::Image* wheel = mHost.LoadingWheel();
    if (mWheelVisible && wheel) {
        if (mWheelFading) {
            graphics.SetColor(Lumo::Color(255, 255, 255, FadeAlpha(mWheelAlpha)));
            graphics.SetTintImages(true);
        }
        graphics.DrawImageRotatedAt(wheel, kWheelX, kWheelY, mWheelAngle, wheel->mWidth / 2, wheel->mHeight / 2);
    }
    graphics.SetTintImages(false);
}

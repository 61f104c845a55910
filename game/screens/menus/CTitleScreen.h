#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <memory>

namespace Lumo {
class LumoAppBase;
class MemoryImage;
}
class CScreenHost;

// The splash, then the title picture with the loading wheel; it hands over to
// the menu once loading has finished and the title has shown long enough.
class CTitleScreen : public Lumo::Widget, public Lumo::ButtonListener {
public:
    enum State { kTitle = 0, kGone = 1, kFadingIn = 2, kFadingOut = 3, kHolding = 4 };

    CTitleScreen(Lumo::LumoAppBase& app, CScreenHost& host);
    ~CTitleScreen() override;

    void LoadSplash();
    // Loading has finished: the title song starts.
    void StartTitle();
    void HandOver();

    void Update() override;
    void Draw(Lumo::Graphics& graphics) override;

    int State() const { return mState; }
    bool SplashShown() const { return mSplash; }
    bool WheelVisible() const { return mWheelVisible; }
    float WheelAngle() const { return mWheelAngle; }

private:
    void UpdateTitle();

    Lumo::LumoAppBase& mApp;
    CScreenHost& mHost;
    std::unique_ptr<Lumo::MemoryImage> mPicture;
    bool mSplash = false;
    int mState = kFadingIn;
    float mFade = 0.0f;
    float mFadeInSpeed = 0.004f;
    float mFadeOutSpeed = 0.008f;
    float mHoldSpeed = 0.005f;
    bool mWheelVisible = false;
    bool mWheelFading = false;
    float mWheelAlpha = 1.0f;
    float mWheelFadeSpeed = 0.005f;
    int mWheelFrames = 0;
    float mWheelAngle = 0.0f;
    int mUpdates = 0;
    bool mLoadingDone = false;
};

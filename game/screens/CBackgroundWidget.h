#pragma once

#include "framework/widgets/Widget.h"

class CImageTable;
namespace Lumo {
class MemoryImage;
}

// The menu screen's backdrop: a picture scrolling vertically behind a fixed
// front picture, faded in and out as the menu comes and goes.
class CBackgroundWidget : public Lumo::Widget {
public:
    enum State { kShown = 0, kHidden = 1, kFadingIn = 2, kFadingOut = 3 };

    // The pictures of the configuration's "menu_img" and "menubg_img"; hidden.
    void SetupFromBackground(CImageTable& images);
    // Starts the fade-in; the first one that ends opens the menu.
    void FadeIn();
    void FadeOut();

    void Update() override;
    void Draw(Lumo::Graphics& graphics) override;

    int State() const { return mState; }
    int Offset() const { return mOffset; }
    bool MenuOpened() const { return mMenuOpened; }

private:
    int mState = kHidden;
    float mFade = 0.0f;
    float mFadeInSpeed = 0.008f;
    float mFadeOutSpeed = 0.008f;
    Lumo::MemoryImage* mBack = nullptr;
    Lumo::MemoryImage* mFront = nullptr;
    int mPictureHeight = 0;
    float mScroll = 0.0f;
    int mOffset = 0;
    bool mMenuOpened = false;
};

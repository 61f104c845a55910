#pragma once

#include "framework/widgets/Widget.h"

class CGUIController;
class CImageTable;
class CUserProfiles;
namespace Lumo {
class MemoryImage;
}

// The menu screen's backdrop: a picture scrolling vertically behind a fixed
// front picture, faded in and out as the menu comes and goes. Once faded in it
// hosts the game's windows: it opens the menu (or the first player's window
// when there is no player yet), draws them and passes them the pointer.
class CBackgroundWidget : public Lumo::Widget {
public:
    enum State { kShown = 0, kHidden = 1, kFadingIn = 2, kFadingOut = 3 };

    // Without a window system the backdrop only fades and scrolls.
    explicit CBackgroundWidget(CGUIController* gui = nullptr, const CUserProfiles* profiles = nullptr);

    // The pictures of the configuration's "menu_img" and "menubg_img"; hidden.
    void SetupFromBackground(CImageTable& images);
    // Starts the fade-in; the first one that ends opens the menu.
    void FadeIn();
    void FadeOut();

    void Update() override;
    void Draw(Lumo::Graphics& graphics) override;
    void MouseMove(int x, int y) override;
    void MouseDrag(int x, int y) override { MouseMove(x, y); }
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseWheel(int delta) override;

    int State() const { return mState; }
    int Offset() const { return mOffset; }
    bool MenuOpened() const { return mMenuOpened; }
    void SetMenuOpened(bool opened) { mMenuOpened = opened; }

private:
    // The windows take the pointer only once the menu has opened.
    CGUIController* PointerGui() const { return mMenuOpened ? mGui : nullptr; }

    CGUIController* mGui;
    const CUserProfiles* mProfiles;
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

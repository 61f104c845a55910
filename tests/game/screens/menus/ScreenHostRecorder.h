#pragma once

#include "framework/graphics/images/MemoryImage.h"
#include "game/screens/menus/CScreenHost.h"

#include <memory>

namespace ScreensTest {

// Counts what the screens ask of the application.
class ScreenHostRecorder : public CScreenHost {
public:
    Lumo::Image* LoadingWheel() override { return mWheel.get(); }
    void ShowGameScreen() override { ++mGameScreens; }
    void TitleScreenGone(CTitleScreen*) override { ++mTitlesGone; }

    std::unique_ptr<Lumo::MemoryImage> mWheel;
    int mGameScreens = 0;
    int mTitlesGone = 0;
};

} // namespace ScreensTest

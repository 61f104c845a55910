#pragma once

#include "framework/graphics/images/MemoryImage.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUICommandHandler.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/CGUITrackEntry.h"
#include "tests/game/support/GameFixture.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace GUITest {

using GameTest::RecordingGraphics;

// A fixed-width font that has no glyph for the characters in mMissing.
class GlyphFont : public GameTest::FixedWidthFont {
public:
    explicit GlyphFont(int charWidth) : GameTest::FixedWidthFont(charWidth) {}
    int CharWidth(char c) override { return mMissing.find(c) != std::string::npos ? 0 : FixedWidthFont::CharWidth(c); }
    std::string mMissing;
};

// Fonts by name ("normal" 10 px a character, "big" 20 px), pictures as
// solid images registered by name, run-time pictures as plain images.
class TestHost : public CGUIHost {
public:
    TestHost();

    // A picture of w x h filled with argb, named name; returns its slot.
    int32_t AddPicture(const std::string& name, int32_t w, int32_t h, uint32_t argb = 0xFFFFFFFF);

    int32_t FontIndexByName(const std::string& name) override;
    Lumo::Font* FontByIndex(int32_t index) override;
    bool FindImage(const std::string& name, int32_t* slot) override;
    Lumo::MemoryImage* SlotImage(int32_t slot, Lumo::Rect* rect) override;
    void FetchSlotImage(int32_t slot) override { mFetched.push_back(slot); }
    void ReleaseSlotImage(int32_t slot) override { mReleased.push_back(slot); }
    bool NewRuntimeImage(int32_t width, int32_t height, int32_t* slot) override;
    void FreeRuntimeImage(int32_t slot) override { mFreedRuntime.push_back(slot); }
    CTrackBase& Tracks() override { return mTracks; }
    Lumo::Image* LoadingWheel() override { return mWheel.get(); }
    void DrawHiscores(Lumo::Graphics&, int32_t alpha, const std::vector<std::string>&) override
    {
        mHiscoreDraws.push_back(alpha);
    }
    CGUITuning Tuning() override { return mTuning; }

    std::vector<std::unique_ptr<GlyphFont>> mFonts;
    std::map<std::string, int32_t> mFontNames;
    std::vector<std::unique_ptr<Lumo::MemoryImage>> mImages;
    std::vector<std::string> mImageNames;
    std::vector<int32_t> mFetched;
    std::vector<int32_t> mReleased;
    std::vector<int32_t> mFreedRuntime;
    int32_t mRuntimeLimit = 100;
    CTrackBase mTracks;
    std::unique_ptr<Lumo::MemoryImage> mWheel;
    std::vector<int32_t> mHiscoreDraws;
    CGUITuning mTuning;
};

// Every hook call as a line: "command 16 1", "showing 13", "shown 13",
// "closed 13", "action 8", "slider 0 0.5 drag", "profile", "choice 0 NAME",
// "popup 9", "hud 3", "labels 10".
class SpyHandler : public CGUICommandHandler {
public:
    void OnGuiCommand(int32_t commandId, int32_t value) override;
    void OnWindowShowing(int32_t windowId) override;
    void OnWindowShown(int32_t windowId) override;
    void OnWindowClosed(int32_t windowId) override;
    void OnWindowAction(int32_t kind) override;
    void ApplyVolumeSlider(int32_t slider, float value, bool dragging) override;
    void OnProfileSelected() override { mCalls.push_back("profile"); }
    void OnProfileListChoice(int32_t editId, const std::string& text) override;
    void ShowScorePopup(int32_t kind) override;
    void OnHudTrackFinished(CAnimTrack*, const CGUITrackEntry& entry) override;
    void OnTextLabelTrackFinished(CAnimTrack*, const CGUITrackEntry& entry) override;

    std::vector<std::string> mCalls;
    // Called from OnWindowShown / OnWindowClosed when set.
    std::function<void(const std::string&)> mOnHook;
};

// A controller loaded from a window file held in a string.
class GUIFixture : public GameTest::GameFixture {
protected:
    GUIFixture();

    // Loads the text as the window file and makes the images.
    void Load(const std::string& xml);
    // Steps the controller's tracks in steps of 1 until the state is reached (at most limit steps).
    bool RunUntilState(int32_t state, int limit = 2000);
    void Step(int count = 1);

    TestHost mHost;
    SpyHandler mSpy;
    std::unique_ptr<CGUIController> mGui;
};

} // namespace GUITest

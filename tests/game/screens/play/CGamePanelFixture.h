#pragma once

#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/play/CPauseHandler.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

#include <memory>
#include <string>
#include <vector>

namespace PanelTest {

// The window system's hooks, with the panel's tracks handed back to it.
class PanelHandler : public GUITest::SpyHandler {
public:
    void OnHudTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry) override;
    CGamePanel* mPanel = nullptr;
};

// The application's flow and the pause handler as the panel reaches them.
class FlowRecorder : public CGameFlowHost, public CPauseHandler {
public:
    bool GamePaused() const override { return mPaused; }
    void SetGamePaused(bool paused) override { mPaused = paused; }
    bool GameScreenShown() const override { return true; }
    void SetGameScreenShown(bool) override {}
    void ShowBackgroundWidget() override {}
    void ShowLevelMap(int32_t, int32_t, int32_t) override {}
    void StartSelectedLevel() override {}
    void ShowBall() override {}
    void Reload() override {}
    void LoadCursor() override {}
    void OnEscapeKey() override {}
    void TogglePause() override { ++mToggles; }

    bool mPaused = false;
    int mToggles = 0;
};

// The sample content's tracks and pictures (the HUD pictures as plain
// images of their sizes) under a window system loaded from the fixture
// window file; the panel is made from a gamepanel element.
class PanelFixture : public GUITest::GUIFixture {
protected:
    PanelFixture();
    ~PanelFixture() override;

    static std::string SampleFile(const std::string& name);
    // The "gamepanel" element of the text (a whole file), loaded and reset;
    // its tracks from the window system's track base unless given.
    void MakePanel(const std::string& xml, CTrackBase* tracks = nullptr);
    void MakeSamplePanel() { MakePanel(SampleFile("gamepanel.xml")); }
    // The image table's picture of a sprite name.
    Lumo::Image* Picture(const std::string& name);

    // Given to the panels made after it is set.
    CGameProcessor* mProcessor = nullptr;
    CPieceBase* mPieces = nullptr;
    PanelHandler mHandler;
    FlowRecorder mFlow;
    CImageTable mImages{&App()};
    std::unique_ptr<CCurveBase> mCurves;
    // Another track base a panel may be made with.
    CTrackBase mOtherTracks;
    std::unique_ptr<CAnimBase> mAnims;
    std::unique_ptr<CGamePanel> mPanel;
};

} // namespace PanelTest

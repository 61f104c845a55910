#pragma once

#include "framework/core/StopwatchTimer.h"
#include "framework/widgets/Widget.h"
#include "game/board/CFieldActivity.h"
#include "game/board/play/CBoardHost.h"
#include "game/data/animation/CCurve.h"

#include <cstdint>
#include <string>

class CAnimBase;
class CAnimTrack;
class CBackground;
class CBall;
class CCurveBase;
class CFieldBonuses;
class CGUIController;
class CGameField;
class CGameFlowHost;
class CGamePanel;
class CGameProcessor;
class CLevelController;
class CParticleSystem;
class CPauseHandler;
class CTrackBase;

namespace Lumo {
class LumoAppBase;
}

// The game's components the board widget runs and draws; none owned. The
// bonuses come later (SetFieldBonuses).
struct CBoardServices {
    Lumo::LumoAppBase* mApp = nullptr;
    CGUIController* mGui = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CLevelController* mLevel = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CBackground* mBackground = nullptr;
    CAnimBase* mAnims = nullptr;
    CTrackBase* mTracks = nullptr;
    CCurveBase* mCurves = nullptr;
    CParticleSystem* mParticles = nullptr;
    CGamePanel* mPanel = nullptr;
    CGameFlowHost* mFlow = nullptr;
    CPauseHandler* mPause = nullptr;
};

// The play screen: each frame it advances the ball, the particles, the game
// processor and the level, turns clicks into cells to send the ball to
// (holding a click while the field still settles), and draws the background,
// the field, the ball, the fades and the windows hosted on it.
class CBoardWidget : public Lumo::Widget, public CBoardHost, public CFieldActivity {
public:
    enum Fade : int32_t { kFadeNone = 0, kFadeIn = 1, kFadeOut = 2, kCovered = 3 };
    // The window system's action when the overlay track ends.
    static constexpr int32_t kOverlayAction = 8;
    static constexpr int32_t kEscapeKey = 27;
    // Behind a still window of a paused game the board is drawn once in this
    // many updates, 25 times a second: a little less often than the menu,
    // whose frames cost less to draw.
    static constexpr int32_t kStillPauseDrawEvery = 4;

    // Registers itself as the processor's board.
    explicit CBoardWidget(const CBoardServices& services);
    ~CBoardWidget() override = default;
    CBoardWidget(const CBoardWidget&) = delete;
    CBoardWidget& operator=(const CBoardWidget&) = delete;

    // Lumo::Widget
    void Update() override;
    void UpdateFraction(float dt) override;
    void Draw(Lumo::Graphics& g) override;
    void Resize(int x, int y, int width, int height) override;
    void KeyDown(int key) override;
    void MouseMove(int x, int y) override;
    void MouseDrag(int x, int y) override { MouseMove(x, y); }
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseWheel(int delta) override;

    // CBoardHost
    void PutToRest() override;
    void ResumePlay() override;
    bool PointerCell(int32_t* column, int32_t* row) const override;
    void CenterOnField() override;
    void BallSetDown() override { mBallSetDown = true; }
    void LogInstanceStats(const char* label) override;
    void SetCompletion(int32_t percent) override;
    void SetHazardTrack(int32_t hazard, CAnimTrack* track) override;
    void UndoFinished() override;
    CAnimTrack* PanelPieceTrack(bool show) const override;
    void SetPanelPieceDisplay(int32_t display) override;
    std::string ComboName(int32_t index) const override;

    // CFieldActivity
    void SetFieldActive(bool active) override { mFieldActive = active; }
    // The bonuses take the board as their field's switch, so they may come
    // after it; until then a landing fires no bonus.
    void SetFieldBonuses(CFieldBonuses* bonuses) { mBonuses = bonuses; }
    // A level starts: a ball the last level's undo set down plays again.
    void EndBallSetDown() { mBallSetDown = false; }

    // The black overlay over the background, from one darkness to another;
    // the window system's action 8 runs when it ends.
    void PlayOverlayAnim(float speed, float from, float to);
    // Ends the overlay and gives its track back.
    void StopOverlayAnim();

    void SetFadeState(int32_t state) { mFadeState = state; }
    int32_t FadeState() const { return mFadeState; }
    void SetFade(float fade) { mFade = fade; }
    float FadeValue() const { return mFade; }
    void FadeOutUnlessCovered();
    // A level starts on the board: it brightens with the field on it.
    void FadeInField();
    void SetFieldShown(bool shown) { mFieldShown = shown; }
    bool FieldShown() const { return mFieldShown; }
    void SetBackgroundOn(bool on) { mBackgroundOn = on; }
    void SetOverlayOn(bool on) { mOverlayOn = on; }
    bool OverlayOn() const { return mOverlayOn; }
    void SetInputLock(bool locked) { mInputLock = locked; }
    bool InputLock() const { return mInputLock; }
    bool FieldActive() const { return mFieldActive; }
    void SetDebugOverlay(bool on) { mDebugOverlay = on; }

    // Whether a click may send the ball now, and whether it must catch up
    // with the settling field.
    bool CanSendBall(bool* catchUp) const;
    void SendBall(int32_t column, int32_t row, bool catchUp);

    int32_t TargetColumn() const { return mTargetColumn; }
    int32_t TargetRow() const { return mTargetRow; }
    bool ClickPending() const { return mClickPending; }
    int32_t PendingColumn() const { return mPendingColumn; }
    int32_t PendingRow() const { return mPendingRow; }
    int32_t FramesPerSecond() const { return mFramesPerSecond; }
    CAnimTrack* OverlayTrack() const { return mOverlayTrack; }

private:
    bool AppActive() const;
    bool GamePaused() const;
    // Covered and hosting no window, the board is plain black.
    bool ShowsPlainBlack() const;
    // Paused under a window that does not move: only the backdrop moves.
    bool ShowsStillPause() const;
    // The settle time left while blocks still move.
    float RemainingBusyTime() const;
    void AdvanceAnimations(float dt);
    void RunLanding(bool wasFlying);
    void FillBlack(Lumo::Graphics& g, int32_t alpha);
    void DrawDebugOverlay(Lumo::Graphics& g);

    CBoardServices mServices;
    CFieldBonuses* mBonuses = nullptr;

    bool mInputLock = true;
    bool mCellHit = false;
    int32_t mPointerX = 0;
    int32_t mPointerY = 0;
    // The pointer in field units, truncated.
    int32_t mFieldPointX = 0;
    int32_t mFieldPointY = 0;
    int32_t mHoverColumn = 0;
    int32_t mHoverRow = 0;
    bool mClickPending = false;
    int32_t mPendingColumn = 0;
    int32_t mPendingRow = 0;
    int32_t mTargetColumn = 0;
    int32_t mTargetRow = 0;
    // The undo, not a jump of the player's, put the ball on its cell.
    bool mBallSetDown = false;
    int32_t mFramesPerSecond = 0;
    int32_t mFramesCounted = 0;
    Lumo::StopwatchTimer mFrameWatch;
    bool mDebugOverlay = false;
    // Plain black is on the screen: until that changes the board is not drawn again.
    bool mPlainBlackDrawn = false;
    // Updates since the still pause was last drawn.
    int32_t mStillPauseUpdates = 0;
    int32_t mDrawOriginX = 0;
    int32_t mDrawOriginY = 0;
    float mFade = 0.0f;
    float mFadeInSpeed = 0.008f;
    float mFadeOutSpeed = 0.008f;
    int32_t mFadeState = kCovered;
    bool mFieldActive = true;
    bool mFieldShown = true;
    bool mOverlayOn = false;
    bool mBackgroundOn = false;
    CAnimTrack* mOverlayTrack = nullptr;
    CCurve mOverlayCurve;
};

#pragma once

#include "framework/graphics/Rect.h"
#include "framework/widgets/Widget.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/effects/CFadeGroup.h"
#include "game/data/effects/CTyper.h"

#include <array>
#include <cstdint>
#include <vector>

class CAnimBase;
class CBackground;
class CCurveBase;
class CGUIController;
class CImageAtlas;
class CImageTable;
class CTrackBase;
class TiXmlElement;
struct CAnimInstance;
struct CCurve;

namespace Lumo {
class LumoAppBase;
}

// What the level map draws with and talks to; the atlas, the window system
// and the background may be missing.
struct CLevelMapServices {
    Lumo::LumoAppBase* mApp = nullptr;
    CImageTable* mImages = nullptr;
    CAnimBase* mAnims = nullptr;
    CTrackBase* mTracks = nullptr;
    CCurveBase* mCurves = nullptr;
    CImageAtlas* mAtlas = nullptr;
    CGUIController* mGui = nullptr;
    CBackground* mBackground = nullptr;
};

// The screen between levels: the current map with its ten positions, a
// highlight travelling along the path, the cups of the stages with their
// award screens, and the map's ambient lights, monitors, radar and typewriter.
class CLevelMap : public Lumo::Widget {
public:
    static constexpr int32_t kMaps = 5;
    static constexpr int32_t kPositions = 10;
    static constexpr int32_t kCups = 8;
    static constexpr int32_t kIndicators = 8;
    static constexpr int32_t kMonitors = 3;
    static constexpr int32_t kNoWindow = -1;
    static constexpr int32_t kLevelMapWindow = 33;
    static constexpr int32_t kPrizeWindow = 42;
    static constexpr int32_t kAwardSample = 22;
    // Stands for a cup the file leaves out: no position reaches it.
    static constexpr int32_t kUnreachableLevel = 0x7FFFFFFF;

    enum Visibility : int32_t { kShown = 0, kShowing = 1, kWaitingToHide = 2, kHiding = 3, kGone = 4 };
    enum Highlight : int32_t { kMoving = 0, kAtPosition = 1, kWaiting = 2, kArrived = 3 };
    enum LightStep : int32_t { kLightsOff = 0, kPreFade = 1, kAwaitArrival = 2, kFadeIn = 3, kLightsDone = 4 };
    enum ScreenState : int32_t { kLeaving = 0, kEntering = 1, kScreenShown = 2 };

    struct Position {
        int32_t mX = 0;
        int32_t mY = 0;
        bool mPassed = false;
        // 0 classic, 1 time, 2 puzzle, 3 crazy.
        int32_t mKind = 0;
        // The path from this position to the next one; null for the last.
        const CCurve* mCurve = nullptr;
    };
    struct Map {
        int32_t mImage = -2;
        int32_t mX = 0;
        int32_t mY = 0;
        std::array<Position, kPositions> mPositions{};
    };
    struct Cup {
        int32_t mLevel = kUnreachableLevel;
        int32_t mX = 0;
        int32_t mY = 0;
        int32_t mImage = -2;
        int32_t mHoverImage = -2;
    };
    struct Indicator {
        int32_t mX = 0;
        int32_t mY = 0;
        int32_t mImage = -2;
    };
    struct Monitor {
        Lumo::Rect mRect{};
        // The picture before and after it moves into the atlas.
        int32_t mSource = -2;
        int32_t mImage = -2;
        float mOffset = 0.0f;
        float mSpeed = 0.0f;
        bool mRight = false;
    };
    // Which award window shows, and the fade between two of them; -1 is the bare map.
    struct Screens {
        int32_t mState = kScreenShown;
        int32_t mCurrent = kNoWindow;
        int32_t mTarget = kNoWindow;
        float mTimer = 0.0f;
        float mEnterSpeed = 0.0f;
        float mLeaveSpeed = 0.0f;
    };

    explicit CLevelMap(const CLevelMapServices& services);
    ~CLevelMap() override;
    CLevelMap(const CLevelMap&) = delete;
    CLevelMap& operator=(const CLevelMap&) = delete;

    void LoadFromXml(const TiXmlElement* root);
    void Reset();
    void Hide();
    void SetMap(int32_t index);
    // The kind and done flag of a position of the current map, set by the
    // application before SelectCup.
    void SetPosition(int32_t index, int32_t kind, bool passed);
    void SetIndicatorsToLight(int32_t count) { mIndicatorsToLight = count; }
    void SelectCup(int32_t position, int32_t target, bool immediate, bool allCups);
    // Whether a cup belongs to the level; count is the number of cups unlocked by it.
    bool FindCupForLevel(int32_t level, int32_t* count) const;
    int32_t CupAt(int32_t x, int32_t y) const;
    void SwitchScreen(bool immediate, int32_t target, float enterSpeed, float leaveSpeed);

    void Update() override;
    void Draw(Lumo::Graphics& g) override;
    void MouseMove(int x, int y) override;
    void MouseDrag(int x, int y) override { MouseMove(x, y); }
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;

    int32_t VisibilityState() const { return mVisibility; }
    float Alpha() const { return mAlpha; }
    int32_t HighlightState() const { return mHighlightState; }
    float HighlightX() const { return mHighlightX; }
    float HighlightY() const { return mHighlightY; }
    int32_t CurrentMap() const { return mCurrentMap; }
    int32_t CurrentPosition() const { return mCurrentPosition; }
    int32_t TargetPosition() const { return mTargetPosition; }
    int32_t UnlockedCups() const { return mUnlockedCups; }
    int32_t AwardWindow() const { return mAwardWindow; }
    bool ChoiceMade() const { return mChoiceMade; }
    int32_t LightState() const { return mLightState; }
    int32_t LightCount() const { return mLightCount; }
    int32_t HoveredCup() const { return mHoveredCup; }
    const Screens& ScreenSwitch() const { return mScreens; }
    const std::vector<Map>& Maps() const { return mMaps; }
    const std::array<Cup, kCups>& Cups() const { return mCups; }
    const std::array<Monitor, kMonitors>& Monitors() const { return mMonitors; }

private:
    void LoadAttributes(const TiXmlElement* root);
    void LoadMaps(const TiXmlElement* root);
    void LoadCups(const TiXmlElement* root);
    void LoadIndicators(const TiXmlElement* root);
    int32_t FindImage(const char* name) const;
    int32_t FindAnim(const char* name) const;

    void PlaceMonitors();
    // Starts anim from its beginning in the instance (made on first use).
    void PlayAnim(CAnimInstance*& instance, int32_t anim);
    void SetStartButtonEnabled(bool enabled);
    void FetchWindowImages(int32_t window);
    const Position* PositionOf(int32_t index) const;
    // Where the highlight stands at a position: the end of the path that
    // leads there, or the position itself.
    void PlaceHighlightAt(int32_t index);

    void UpdateVisibility();
    void UpdateHighlight();
    void UpdateLights();
    void UpdateScreens();
    void UpdateCupHover();

    void DrawSlot(Lumo::Graphics& g, int32_t slot, int32_t x, int32_t y, int32_t alpha);
    void DrawAnim(Lumo::Graphics& g, const CAnimInstance* instance, int32_t x, int32_t y, int32_t alpha);
    void DrawPositions(Lumo::Graphics& g, int32_t alpha);
    void DrawHighlight(Lumo::Graphics& g, int32_t alpha);
    void DrawAwardScreen(Lumo::Graphics& g, int32_t alpha);
    void DrawMonitors(Lumo::Graphics& g, int32_t alpha);
    void DrawCups(Lumo::Graphics& g, int32_t alpha);

    CLevelMapServices mServices;

    std::array<int32_t, 4> mIconAnims{-1, -1, -1, -1};
    std::array<int32_t, 2> mHandAnims{-1, -1};
    int32_t mRadarAnim = -1;
    // By kind: classic, time, puzzle, crazy.
    std::array<int32_t, 4> mIconImages{-2, -2, -2, -2};
    int32_t mBackgroundImage = -2;
    int32_t mHighlightImage = -2;
    int32_t mRadarImage = -2;

    float mShowSpeed = 0.008f;
    float mHideSpeed = 0.008f;
    float mHideDelay = 0.0f;
    float mActionDelay = 0.0f;
    float mRotationSpeed = 0.0f;
    float mMoveSpeed = 0.0f;
    float mWaitSpeed = 0.0f;
    int32_t mToBeCompletedAlpha = 0;
    float mLightFadeInSpeed = 0.0f;
    float mLightPreFadeSpeed = 0.0f;
    float mLightOffDelay = 0.0f;
    float mCupSlackness = 0.0f;
    float mPrizePresence = 0.0f;
    float mPrizeHide = 0.0f;
    float mCupShow = 0.0f;
    float mCupHide = 0.0f;
    float mPrizeCupPresence = 0.0f;
    float mPrizeCupHide = 0.0f;
    float mMapShow = 0.0f;
    float mMapHide = 0.0f;

    int32_t mIconOffsetX = 0;
    int32_t mIconOffsetY = 0;
    int32_t mHighlightOffsetX = 0;
    int32_t mHighlightOffsetY = 0;
    int32_t mHandX = 0;
    int32_t mHandY = 0;
    int32_t mRadarX = 0;
    int32_t mRadarY = 0;
    int32_t mCrossFadeX = 0;
    int32_t mCrossFadeY = 0;

    std::vector<Map> mMaps;
    std::array<Cup, kCups> mCups{};
    std::vector<Indicator> mIndicators;
    CFadeGroup mLights;
    CrossFadeLight mCrossFade;
    CTyper mTyper;
    std::array<Monitor, kMonitors> mMonitors{};
    bool mMonitorsPlaced = false;

    CAnimPlayer mPlayer;
    CAnimInstance* mHand = nullptr;
    CAnimInstance* mRadar = nullptr;
    CAnimInstance* mIcon = nullptr;

    int32_t mVisibility = kGone;
    float mAlpha = 0.0f;
    float mHideTimer = 0.0f;
    int32_t mHighlightState = kAtPosition;
    float mHighlightTimer = 0.0f;
    float mHighlightX = 0.0f;
    float mHighlightY = 0.0f;
    int32_t mCurrentMap = 0;
    int32_t mCurrentPosition = 0;
    int32_t mTargetPosition = -1;
    float mAngle = 0.0f;
    int32_t mLightState = kLightsOff;
    float mLightTimer = 0.0f;
    int32_t mLightCount = 0;
    int32_t mIndicatorsToLight = 0;
    int32_t mUnlockedCups = 0;
    int32_t mAwardWindow = kNoWindow;
    Screens mScreens;
    int32_t mHoveredCup = -1;
    float mHoverDelay = 0.0f;
    int32_t mMouseX = 0;
    int32_t mMouseY = 0;
    bool mChoiceMade = false;
    bool mWindowOpened = false;
    float mStartTimer = 0.0f;
};

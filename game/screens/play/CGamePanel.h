#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "game/board/levels/CCrazyDisplay.h"
#include "game/data/animation/CCurve.h"

#include <array>
#include <cstdint>
#include <memory>

class CAnimBase;
class CAnimTrack;
class CGameFlowHost;
class CGameProcessor;
class CGUIController;
class CImageTable;
class CPauseHandler;
class CPieceBase;
class CTrackBase;
class TiXmlElement;
struct CSceneObj;

namespace Lumo {
class Graphics;
class MemoryImage;
} // namespace Lumo

// What the panel draws with and talks to. The tracks and images are needed;
// the others may be missing (the panel then skips what it would ask of them).
struct CGamePanelServices {
    CTrackBase* mTracks = nullptr;
    CImageTable* mImages = nullptr;
    CAnimBase* mAnims = nullptr;
    CPieceBase* mPieces = nullptr;
    CGUIController* mGui = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CGameFlowHost* mFlow = nullptr;
    CPauseHandler* mPause = nullptr;
};

// The heads-up panel across the top of the play screen: points, level and
// phase, the energy and completion bars, the superbonus piece turning in the
// middle (or the undo button), the menu and pause buttons. It slides in and
// out on tracks run by the window system's player, whose end actions come
// back through OnTrackAction.
class CGamePanel : public CCrazyDisplay {
public:
    enum SlideState : int32_t { kShown = 0, kSlidingIn = 1, kSlidingOut = 2, kHidden = 3 };
    enum UndoState : int32_t { kUndoIdle = 0, kUndoHovered = 1, kUndoPressed = 2 };
    enum LayoutMode : int32_t { kBasic = 1, kScore = 2 };
    // The superbonus piece at rest, the old one fading out, the new one fading in.
    enum PieceDisplay : int32_t { kPieceSteady = 0, kPieceHiding = 1, kPieceShowing = 2 };
    // End actions of the panel's tracks in the window system's track table.
    enum TrackAction : int32_t { kActionSlide = 2, kActionEnergy = 3, kActionFade = 5 };
    enum Hazard : int32_t { kHazardTime = 0, kHazardEnergy = 1 };
    enum Button : int32_t { kMenuButton = 0, kPauseButton = 1 };
    static constexpr int32_t kMenuConfirmWindow = 31;
    // The undo button's offset is taken from this line.
    static constexpr int32_t kCentreLine = 400;

    // A picture of the image table with the rectangle it is cut to; the
    // rectangle's corner is also where it sits on the panel.
    struct Part {
        int32_t mSlot = -2;
        Lumo::Rect mRect{};
    };
    struct Point {
        int32_t mX = 0;
        int32_t mY = 0;
    };
    struct Layout {
        Part mBody;
        Part mEnergyBar;
        Part mCompletionBar;
        Part mMenu;
        Part mPause;
        Point mPoints;
        Point mLevel;
        Point mPhase;
        Point mPiece;
        Point mCentreArea;
        Lumo::Rect mMenuRect{};
        Lumo::Rect mPauseRect{};
    };

    explicit CGamePanel(const CGamePanelServices& services);
    ~CGamePanel() override;
    CGamePanel(const CGamePanel&) = delete;
    CGamePanel& operator=(const CGamePanel&) = delete;

    // False, logged, without the element or the tracks the panel slides by:
    // the panel could never come on.
    bool LoadFromXml(const TiXmlElement* element);
    // The label canvas, and the piece's turning track.
    void Reset();

    void SetLayoutMode(int32_t mode);
    // A level starts: the layout of its game mode, the undo button or not, and
    // no crazy indicator or share until the crazy level shows them.
    void StartLevel(int32_t mode, bool undoButton);
    void SlideOnOff(bool on);
    void HideNow();

    void SetPointsLabel(int32_t value);
    void SetLevelLabel(int32_t value);
    void SetPhaseLabel(int32_t value);
    // Unless immediate, the bar counts from what it shows to percent at speed.
    void SetEnergy(int32_t percent, bool immediate, float speed);
    void SetCompletion(int32_t percent) { mCompletion = percent; }
    // Null takes the warning away.
    void SetHazardTrack(int32_t hazard, CAnimTrack* track);

    // The superbonus piece in the middle, turning while it is on.
    void ShowPiece(bool on);
    void SetPieceDisplay(int32_t display) { mPieceDisplay = display; }
    // The fades of the piece's change, started by the loader; null when missing.
    CAnimTrack* PieceShowTrack() const { return mPieceShow; }
    CAnimTrack* PieceHideTrack() const { return mPieceHide; }
    // The undo button takes the middle instead of the piece.
    void ShowUndoButton(bool shown);

    // Until the next level starts the completion bar shows the share of blocks in the crazy colour.
    void SetCrazyPercent(int32_t percent) override { mCrazyPercent = percent; }
    // Drawn in the centre area while shown; it blinks by turning shown on and off.
    void SetCrazyIndicator(const CSceneObj* indicator, bool shown) override;
    // The crazy level's indicator while it blinks on, else null.
    const CSceneObj* ShownCrazyIndicator() const { return mCrazyShown ? mCrazyIndicator : nullptr; }

    void OnTrackAction(int32_t action, CAnimTrack* track);
    void Draw(Lumo::Graphics& graphics, int32_t x, int32_t y);
    void OnPointerMove(int32_t x, int32_t y);
    void OnPointerButton(int32_t x, int32_t y, bool pressed);
    // The undo has ended: the button is free and shows whether the pointer is on it.
    void HitTestUndo();

    int32_t SlideState() const { return mSlideState; }
    int32_t LayoutMode() const { return mLayoutMode; }
    const Layout& ActiveLayout() const { return mActive; }
    const Layout& LoadedLayout(int32_t mode) const { return mode == kScore ? mScore : mBasic; }
    CAnimTrack* SlideTrack() const { return mSlide; }
    CAnimTrack* EnergyTrack() const { return mEnergyTrack; }
    CAnimTrack* TurnTrack() const { return mTurn; }
    // The energy the bar shows now, counting or not.
    int32_t ShownEnergy() const;
    int32_t Energy() const { return mEnergy; }
    bool EnergyCounting() const { return mCounting; }
    int32_t Completion() const { return mCompletion; }
    const CAnimTrack* HazardTrack(int32_t hazard) const { return mHazards[size_t(hazard)]; }
    int32_t PointsValue() const { return mPointsValue; }
    int32_t LevelValue() const { return mLevelValue; }
    int32_t PhaseValue() const { return mPhaseValue; }
    int32_t UndoState() const { return mUndoState; }
    bool UndoBusy() const { return mUndoBusy; }
    bool Hovered(int32_t button) const { return mButtons[size_t(button)].mHover; }
    // 0 to 1: how far the button's highlight has come in.
    float Highlight(int32_t button) const;
    Lumo::MemoryImage* LabelCanvas() const { return mCanvas.get(); }
    Lumo::Rect LabelRect(int32_t label) const;
    // In panel coordinates: the panel's drawing offset puts it on screen.
    Lumo::Rect UndoRect() const;
    int32_t VOffset() const { return mVOffset; }

private:
    enum Label : int32_t { kPointsLabel = 0, kLevelLabel = 1, kPhaseLabel = 2 };
    struct HoverButton {
        CAnimTrack* mFade = nullptr;
        bool mHover = false;
    };

    // Loading.
    void ReadLayout(const TiXmlElement* element, const char* prefix, bool withLevel, Layout* layout);
    Part ReadPart(const TiXmlElement* element, const char* name) const;
    int32_t ReadImage(const TiXmlElement* element, const char* name) const;
    void StartPieceTracks();

    // Tracks.
    bool HeldByGui(const CAnimTrack* track) const;
    void StartSlide(int32_t definition, float startTime);
    void StopFades();
    void StartFade(int32_t button, bool in);
    void UpdateHover(int32_t button, bool inside);
    void StopEnergyCount();

    // Labels and drawing.
    void WriteLabel(int32_t label, int32_t value);
    Lumo::Rect PartRect(const Part& part) const;
    void DrawPart(Lumo::Graphics& g, const Part& part, int32_t x, int32_t y, int32_t percent);
    void DrawHazard(Lumo::Graphics& g, const Part& bar, int32_t x, int32_t y, int32_t percent,
                    const CAnimTrack* hazard);
    void DrawLabel(Lumo::Graphics& g, int32_t label, const Point& at, int32_t x, int32_t y);
    void DrawMiddle(Lumo::Graphics& g, int32_t x, int32_t y);
    void DrawButton(Lumo::Graphics& g, int32_t button, const Part& part, int32_t x, int32_t y);
    void DrawCentreArea(Lumo::Graphics& g, int32_t x, int32_t y);

    // Input, in panel coordinates.
    bool Sliding() const { return mSlideState != kShown; }
    int32_t BodyHeight() const;
    bool InUndo(int32_t px, int32_t py) const;
    void ReleaseUndo(bool inside);

    CGamePanelServices mServices;

    Layout mBasic;
    Layout mScore;
    Layout mActive;
    int32_t mLayoutMode = 0;

    Lumo::Color mButtonColour{255, 255, 255, 255};
    int32_t mCanvasWidth = 0;
    int32_t mCanvasHeight = 0;
    int32_t mVOffset = 0;
    float mTurnSpeed = 0.0f;
    float mFadeSpeed = 0.0f;
    std::array<int32_t, 3> mLabelWidths{};
    int32_t mSlideOn = -1;
    int32_t mSlideOff = -1;
    std::array<int32_t, 3> mUndoImages{-2, -2, -2};
    Point mUndoOffset;
    Point mUndoSize;

    CAnimTrack* mSlide = nullptr;
    CAnimTrack* mTurn = nullptr;
    CAnimTrack* mEnergyTrack = nullptr;
    std::array<HoverButton, 2> mButtons{};
    CAnimTrack* mPieceShow = nullptr;
    CAnimTrack* mPieceHide = nullptr;
    CCurve mFadeOut;
    CCurve mFadeIn;

    std::unique_ptr<Lumo::MemoryImage> mCanvas;
    std::unique_ptr<Lumo::Graphics> mCanvasGraphics;
    int32_t mPointsValue = 0;
    int32_t mLevelValue = 0;
    int32_t mPhaseValue = 0;

    int32_t mSlideState = kShown;
    int32_t mPointerX = 0;
    int32_t mPointerY = 0;

    int32_t mEnergy = 0;
    int32_t mEnergyFrom = 0;
    bool mCounting = false;
    int32_t mCompletion = 0;
    std::array<CAnimTrack*, 2> mHazards{};

    bool mPieceOn = false;
    int32_t mPieceDisplay = kPieceSteady;
    bool mUndoShown = false;
    int32_t mUndoState = kUndoIdle;
    bool mUndoBusy = false;

    const CSceneObj* mCrazyIndicator = nullptr;
    bool mCrazyShown = false;
    int32_t mCrazyPercent = -1;
};

#pragma once

#include "framework/widgets/ScrollListener.h"
#include "framework/widgets/TextEntryListener.h"
#include "game/data/effects/CControlTracks.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CIndexAllocator.h"
#include "game/screens/windows/CGUITrackEntry.h"
#include "game/screens/windows/GUIButton.h"
#include "game/screens/windows/GUICheckbox.h"
#include "game/screens/windows/GUIEditBox.h"
#include "game/screens/windows/GUILabel.h"
#include "game/screens/windows/GUIListBox.h"
#include "game/screens/windows/GUISlider.h"
#include "game/screens/windows/GUIWindow.h"
#include "game/screens/windows/GUIWindowTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAnimTrack;
class CGUICommandHandler;
class CGUIHost;
class CSlotPanel;
class TiXmlElement;

namespace Lumo {
class Font;
class Graphics;
class LumoAppBase;
class MemoryImage;
class Widget;
} // namespace Lumo

// The game's window system: the fixed windows of the window file, their
// open and close transitions, drawing, pointer input turned into command ids,
// counting labels, and the player that runs the tracks of the screens.
class CGUIController : public Lumo::TextEntryListener, public Lumo::ScrollListener, public CControlTracks {
public:
    static constexpr int32_t kInfoSlots = 40;
    static constexpr int32_t kNoWindow = -1;
    static constexpr int32_t kTileRows = 8;
    static constexpr int32_t kTileHeight = 75;
    static constexpr int32_t kTileMaxWidth = 64;
    static constexpr int32_t kSoundClick = 18;
    static constexpr int32_t kSoundHover = 21;

    enum State : int32_t {
        kNone = 0,
        kBorderIn = 1,
        kRolling = 2,
        kRollingClosed = 3,
        kBorderOut = 4,
        kFadingIn = 5,
        kFadingOut = 6,
        kShown = 7,
    };

    // Entry kinds of the control-track table.
    enum TrackKind : int32_t {
        kTrackFree = 0,
        kTrackWindow = 1,
        kTrackHudFirst = 2,
        kTrackHudLast = 5,
        kTrackCountUp = 6,
        kTrackWindowFade = 7,
        kTrackHighlight = 9,
        kTrackTextLabels = 10,
    };

    // The controller reached by the game after CreateImages.
    static CGUIController* sInstance;

    CGUIController(Lumo::LumoAppBase* app, CGUIHost* host, CGUICommandHandler* handler);
    ~CGUIController() override;
    CGUIController(const CGUIController&) = delete;
    CGUIController& operator=(const CGUIController&) = delete;

    void LoadFromXml(const TiXmlElement* root);
    // Tracks, the zoom image and the frame tiles; run once every data file is read.
    void CreateImages();
    void Release();

    // Windows.
    void OpenWindow(int32_t id, bool immediate);
    void CloseWindow(bool immediate);
    void UpdateTracks(float dt);
    // Whether the windows move by themselves: a track runs (a window opening
    // or closing, a count-up, a fade, the highlight) or the credits roll.
    bool Animating() const { return !mPlayer.mActive.empty() || mCurrentWindow == GUIWindowId::kCredits; }
    void DrawWindow(Lumo::Graphics& graphics);
    // A window's contents (no panel) at alpha, outside the open and close transitions.
    void DrawWindowFaded(Lumo::Graphics& graphics, int32_t id, int32_t alpha);
    void FetchWindowImages(int32_t id);
    void StopWindowTrack();
    void StartWindowFade(float speed);
    void SetHighlight(bool show);

    // Pointer input from the host widget, in screen coordinates.
    void OnPointerMove(int32_t x, int32_t y);
    void OnPointerDown(int32_t x, int32_t y, bool doubleClick);
    void OnPointerUp(int32_t x, int32_t y);
    void ScrollList(int32_t delta);

    // Labels.
    void StartCountUp(int32_t slot, int32_t value, int32_t reference, int32_t followUp, int32_t mode);
    bool FinishCountUp(int32_t label, bool immediate);
    bool SkipCountUps();
    void SetLabelValue(int32_t label, int32_t value);
    void SetInfoLabelText(int32_t slot, const std::string& text);
    void ClearLabelText(int32_t slot);
    // The label of an info-label slot; -1 for a slot no window fills.
    int32_t InfoLabelIndex(int32_t slot) const;

    // Controls.
    void SetSliderPos(int32_t slider, float value);
    void SetSliderFromPointer(GUISlider& slider, int32_t px);
    void SetListCount(int32_t count);
    void SetListScroll(int32_t list, int32_t line);
    void RemoveListLine(int32_t line);
    void SetListSource(int32_t list, GUIListBox::LineSource source);
    std::string GetEditText(int32_t edit);
    void ClearEditText();

    // The control-track table.
    void StartTrack(CAnimTrack* track, int32_t kind, int32_t a, int32_t b) override;
    void StartTrackAt(CAnimTrack* track, const CGUITrackEntry& entry);
    void StopTrack(CAnimTrack* track) override;
    void RestartTrack(CAnimTrack* track, float time);
    const CGUITrackEntry* TrackEntry(const CAnimTrack* track) const;
    CAnimPlayer& Player() { return mPlayer; }

    // Edit boxes and list scroll bars.
    void TextEntered(int id, const std::string& text) override;
    bool AllowKey(int id, int keyCode) override;
    bool AllowChar(int id, char& ch) override;
    bool AllowText(int id, const std::string& text) override;
    void ScrollPosition(int id, double position) override;
    bool IsCharAllowed(int32_t editId, char& ch);

    // Null for an index outside the arrays.
    const GUIWindow* Window(int32_t id) const;
    GUILabel* Label(int32_t index);
    GUIButton* Button(int32_t index);
    GUICheckbox* Checkbox(int32_t index);
    GUISlider* Slider(int32_t index);
    GUIEditBox* EditBox(int32_t index);
    GUIListBox* ListBox(int32_t index);
    int32_t LabelCount() const { return static_cast<int32_t>(mLabels.size()); }
    int32_t ButtonCount() const { return static_cast<int32_t>(mButtons.size()); }
    int32_t LabelGroupCount() const { return static_cast<int32_t>(mLabelGroups.size()); }
    // First and end label of a label group.
    std::pair<int32_t, int32_t> LabelGroup(int32_t group) const;

    int32_t State() const { return mState; }
    int32_t CurrentWindow() const { return mCurrentWindow; }
    int32_t NextWindow() const { return mNextWindow; }
    int32_t LastOpenedWindow() const { return mLastOpened; }
    bool WindowOpened() const { return mWindowOpened; }
    int32_t DefaultWindow() const { return mDefaultWindow; }
    float CreditsPosition() const { return mCreditsPosition; }
    // Back to the top of the credits text.
    void RestartCredits() { mCreditsPosition = 0.0f; }
    // The speed of the fade a level-end window runs after its count-ups were skipped.
    float PointsStaySpeed() const { return mPointsStaySpeed; }
    CAnimTrack* WindowTrack() const { return mWindowTrack; }
    bool HighlightOn() const { return mHighlightOn; }

    // Name lists.
    std::array<std::string, 8> mBonusNames;
    std::array<std::string, 10> mRankNames;
    std::array<std::string, 5> mStageNames;
    std::array<std::string, 5> mComboNames;

    // The slot panel's look from the window file.
    struct SlotPanelLook {
        int32_t mGlyphX = 0;
        int32_t mGlyphY = 0;
        int32_t mHintX = 0;
        int32_t mHintY = 0;
        int32_t mHintFont = -1;
        float mHintFadeSpeed = 0.0f;
        int32_t mGlyphStep = 0;
        std::array<int32_t, 5> mGlyphs{-2, -2, -2, -2, -2};
        int32_t mHighlight = -2;
    };
    SlotPanelLook mSlotLook;

    // The widget that hosts the windows, and the stage select window's panel.
    Lumo::Widget* mOwner = nullptr;
    CSlotPanel* mSlotPanel = nullptr;

    Lumo::LumoAppBase* App() const { return mApp; }
    CGUIHost& Host() const { return *mHost; }

private:
    struct RandomGroup {
        int32_t mFirst = 0;
        int32_t mEnd = 0;
    };

    // Loading.
    void ReadRootAttributes(const TiXmlElement* root);
    void CountControls(const TiXmlElement* root);
    void LoadLabelGroups(const TiXmlElement* root);
    void LoadRandomGroups(const TiXmlElement* root);
    void LoadNameLists(const TiXmlElement* root);
    void LoadWindowControls(const TiXmlElement* element, GUIWindow& window, const GUIWindowSpec& spec);
    void LoadLabelFromXml(const TiXmlElement* element, GUILabel& label);
    void LoadButtonFromXml(const TiXmlElement* element, GUIButton& button);
    void LoadCheckboxFromXml(const TiXmlElement* element, GUICheckbox& checkbox);
    void LoadSliderFromXml(const TiXmlElement* element, GUISlider& slider);
    void LoadEditboxFromXml(const TiXmlElement* element, GUIEditBox& editBox, int32_t index);
    void LoadListboxFromXml(const TiXmlElement* element, GUIListBox& listBox, int32_t index);
    int32_t ReadImage(const TiXmlElement* element, const char* name, int32_t current);
    int32_t ReadFont(const TiXmlElement* element, const char* name);
    void CreateMiddleTiles();

    // Transitions.
    void RedrawOwner();
    void OnWindowTrackFinished();
    void StartWindowTrack(float speed);
    void ResumeWindowTrack();
    float ReachedWidth() const;
    float RollSpeed() const;
    void ShowWindowWidgets(int32_t window);
    void HideWindowWidgets(int32_t window);
    void StopWindowCountUps(int32_t window);
    void DispatchFinished(CAnimTrack* track);
    void OnCountUpTrackFinished(CAnimTrack* track, int32_t slot);
    void OnHighlightTrackFinished(CAnimTrack* track);

    // Drawing.
    void DrawWindowBorder(Lumo::Graphics& graphics, int32_t alpha);
    void DrawWindowPanel(Lumo::Graphics& graphics, int32_t width, int32_t shown);
    void DrawWindowContent(Lumo::Graphics& graphics, int32_t alpha, int32_t window, bool header, int32_t yOffset);
    void DrawLabel(Lumo::Graphics& graphics, int32_t index, int32_t left, int32_t yOffset);
    void DrawZoomedLabel(Lumo::Graphics& graphics, GUILabel& label, int32_t x, int32_t y);
    void DrawButtons(Lumo::Graphics& graphics, const GUIWindow& window, int32_t left, int32_t yOffset);
    void DrawListBox(Lumo::Graphics& graphics, const GUIListBox& list, int32_t left, int32_t alpha,
                     int32_t yOffset);
    void DrawSlot(Lumo::Graphics& graphics, int32_t slot, int32_t x, int32_t y);
    void DrawHighlight(Lumo::Graphics& graphics);
    int32_t CurrentAlpha() const;
    int32_t CurrentWidth() const;

    // Input.
    bool ControlsActive() const { return mState == kFadingIn || mState == kShown; }
    void UpdateHover(int32_t wx, int32_t y);
    void SelectListRow(GUIListBox& list, int32_t list_index, int32_t x, int32_t y, bool doubleClick);
    Lumo::Font* FontOf(int32_t index) const;
    int32_t TextHalfWidth(int32_t font, const std::string& text) const;
    int32_t LabelOfSlot(int32_t slot) const;

    Lumo::LumoAppBase* mApp;
    CGUIHost* mHost;
    CGUICommandHandler* mHandler;

    int32_t mDefaultWindow = 0;
    bool mBorderFlag = false;

    std::vector<CGUITrackEntry> mTrackEntries;
    CIndexAllocator mTags;
    CAnimPlayer mPlayer;

    int32_t mFrameImage = -2;
    int32_t mHeaderImage = -2;
    int32_t mLeftBorderWidth = 0;
    int32_t mLeftShadowWidth = 0;
    int32_t mMiddleWidth = 0;
    int32_t mRightShadowWidth = 0;
    int32_t mRightBorderWidth = 0;
    int32_t mHeaderY = 0;

    float mBorderShowSpeed = 0.0f;
    float mWindowRollSpeed = 0.0f;
    float mWindowFadeSpeed = 0.0f;
    float mCountSpeedMax = 0.0f;
    float mCountSpeedMin = 0.0f;
    float mZoomSpeed = 0.0f;
    float mMaxZoom = 0.0f;
    float mPointsStaySpeed = 0.0f;
    int32_t mZoomWidth = 0;
    int32_t mZoomHeight = 0;

    std::vector<int32_t> mLgroups;
    std::vector<RandomGroup> mRandomGroups;

    int32_t mLabelCount = 0;
    int32_t mButtonCount = 0;
    int32_t mCheckboxCount = 0;
    int32_t mSliderCount = 0;
    int32_t mEditBoxCount = 0;
    int32_t mListBoxCount = 0;
    int32_t mGroupCount = 0;

    int32_t mNextButton = GUIWindowSpec::kRunningButton;
    int32_t mNextCheckbox = GUIWindowSpec::kRunningCheckbox;
    int32_t mNextSlider = GUIWindowSpec::kRunningSlider;
    int32_t mNextEditBox = GUIWindowSpec::kRunningEditBox;
    int32_t mNextListBox = GUIWindowSpec::kRunningListBox;
    int32_t mNextSlot = 0;
    int32_t mNextLabel = 0;

    std::array<int32_t, kInfoSlots> mInfoSlots;

    std::vector<GUIButton> mButtons;
    std::vector<GUILabel> mLabels;
    std::vector<GUICheckbox> mCheckboxes;
    std::vector<std::pair<int32_t, int32_t>> mLabelGroups;
    std::vector<GUISlider> mSliders;
    std::vector<GUIEditBox> mEditBoxes;
    std::vector<GUIListBox> mListBoxes;
    std::array<GUIWindow, GUIWindowId::kCount> mWindows{};

    // Pointer state: the hovered control of the hover window.
    int32_t mHoverWindow = kNoWindow;
    int32_t mHoverIndex = -1;
    GUIButton* mHoverButton = nullptr;
    GUICheckbox* mHoverCheckbox = nullptr;
    GUISlider* mHoverSlider = nullptr;
    GUIListBox* mHoverList = nullptr;
    bool mSkipCounting = false;
    bool mPointerDown = false;

    // Transition state.
    float mTargetWidth = 0.0f;
    float mStartWidth = 0.0f;
    float mAlphaEnd = 0.0f;
    float mAlphaStart = 0.0f;
    int32_t mCurrentWindow = kNoWindow;
    int32_t mNextWindow = kNoWindow;
    bool mWindowOpened = false;
    int32_t mLastOpened = kNoWindow;
    CAnimTrack* mWindowTrack = nullptr;
    CAnimTrack* mFadeTrack = nullptr;
    int32_t mState = kNone;
    float mCreditsPosition = 0.0f;

    // The highlight wheel.
    bool mHighlightOn = false;
    bool mHighlightHiding = false;
    CAnimTrack* mWheelTurn = nullptr;
    CAnimTrack* mWheelFade = nullptr;
    int32_t mWheelX = 0;
    int32_t mWheelY = 0;
    int32_t mWheelHalfWidth = 0;
    int32_t mWheelHalfHeight = 0;
    CCurve mWheelCurve;

    // Made by CreateImages.
    std::array<int32_t, 5> mPieceX{};
    int32_t mHeaderHalfWidth = 0;
    std::unique_ptr<Lumo::MemoryImage> mZoomImage;
    std::unique_ptr<Lumo::Graphics> mZoomGraphics;
    CCurve mZoomCurve;
    int32_t mTileWidth = 0;
    std::vector<int32_t> mTiles;
};

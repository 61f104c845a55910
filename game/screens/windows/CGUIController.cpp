#include "game/screens/windows/CGUIController.h"

#include "framework/app/LumoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUICommandHandler.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/CGUIScrollbar.h"

#include <algorithm>
#include <cmath>

CGUIController* CGUIController::sInstance = nullptr;

CGUIController::CGUIController(Lumo::LumoAppBase* app, CGUIHost* host, CGUICommandHandler* handler)
    : mApp(app), mHost(host), mHandler(handler)
{
    mInfoSlots.fill(-1);
}

CGUIController::~CGUIController()
{
    Release();
    if (sInstance == this)
        sInstance = nullptr;
}

void CGUIController::Release()
{
    // Widgets still linked into the manager would be left dangling.
    if (mCurrentWindow != kNoWindow)
        HideWindowWidgets(mCurrentWindow);
    CTrackBase& tracks = mHost->Tracks();
    for (CAnimTrack** track : {&mWindowTrack, &mFadeTrack, &mWheelTurn, &mWheelFade}) {
        if (*track != nullptr) {
            StopTrack(*track);
            tracks.FreeInstance(*track);
            *track = nullptr;
        }
    }
    for (GUILabel& label : mLabels) {
        if (label.mTrack != nullptr) {
            StopTrack(label.mTrack);
            tracks.FreeInstance(label.mTrack);
            label.mTrack = nullptr;
        }
    }
    mZoomGraphics.reset();
    mZoomImage.reset();
    for (int32_t tile : mTiles)
        mHost->FreeRuntimeImage(tile);
    mTiles.clear();
    mButtons.clear();
    mLabels.clear();
    mCheckboxes.clear();
    mLabelGroups.clear();
    mSliders.clear();
    mEditBoxes.clear();
    mListBoxes.clear();
    mState = kNone;
    mCurrentWindow = kNoWindow;
    mNextWindow = kNoWindow;
    mHoverButton = nullptr;
    mHoverCheckbox = nullptr;
    mHoverSlider = nullptr;
    mHoverList = nullptr;
}

const GUIWindow* CGUIController::Window(int32_t id) const
{
    return id >= 0 && id < GUIWindowId::kCount ? &mWindows[size_t(id)] : nullptr;
}

namespace {

template <typename T>
T* At(std::vector<T>& items, int32_t index)
{
    return index >= 0 && size_t(index) < items.size() ? &items[size_t(index)] : nullptr;
}

} // namespace

GUILabel* CGUIController::Label(int32_t index) { return At(mLabels, index); }
GUIButton* CGUIController::Button(int32_t index) { return At(mButtons, index); }
GUICheckbox* CGUIController::Checkbox(int32_t index) { return At(mCheckboxes, index); }
GUISlider* CGUIController::Slider(int32_t index) { return At(mSliders, index); }
GUIEditBox* CGUIController::EditBox(int32_t index) { return At(mEditBoxes, index); }
GUIListBox* CGUIController::ListBox(int32_t index) { return At(mListBoxes, index); }

std::pair<int32_t, int32_t> CGUIController::LabelGroup(int32_t group) const
{
    if (group < 0 || size_t(group) >= mLabelGroups.size())
        return {0, 0};
    return mLabelGroups[size_t(group)];
}

int32_t CGUIController::InfoLabelIndex(int32_t slot) const
{
    return slot >= 0 && slot < kInfoSlots ? mInfoSlots[size_t(slot)] : -1;
}

// ---- the control-track table ----

void CGUIController::StartTrack(CAnimTrack* track, int32_t kind, int32_t a, int32_t b)
{
    StartTrackAt(track, CGUITrackEntry{kind, a, b});
}

void CGUIController::StartTrackAt(CAnimTrack* track, const CGUITrackEntry& entry)
{
    if (track == nullptr)
        return;
    if (track->mOwnerTag < 0 || TrackEntry(track) == nullptr) {
        track->mOwnerTag = mTags.Allocate();
        if (size_t(track->mOwnerTag) >= mTrackEntries.size())
            mTrackEntries.resize(size_t(track->mOwnerTag) + 1);
    }
    mTrackEntries[size_t(track->mOwnerTag)] = entry;
    mPlayer.Attach(track);
}

void CGUIController::StopTrack(CAnimTrack* track)
{
    if (track == nullptr)
        return;
    if (track->mOwnerTag >= 0 && size_t(track->mOwnerTag) < mTrackEntries.size()) {
        mTrackEntries[size_t(track->mOwnerTag)].mKind = kTrackFree;
        mTags.Release(track->mOwnerTag);
    }
    mPlayer.ClearFinished(track);
    mPlayer.Detach(track);
    track->mOwnerTag = CAnimTrack::kNone;
}

void CGUIController::RestartTrack(CAnimTrack* track, float time)
{
    if (track == nullptr)
        return;
    track->mTime = time;
    track->mRunning = 1;
    track->mRepeatCount = 1;
    mPlayer.ClearFinished(track);
}

const CGUITrackEntry* CGUIController::TrackEntry(const CAnimTrack* track) const
{
    if (track == nullptr || track->mOwnerTag < 0 || size_t(track->mOwnerTag) >= mTrackEntries.size() ||
        track->mPlayer != &mPlayer)
        return nullptr;
    return &mTrackEntries[size_t(track->mOwnerTag)];
}

void CGUIController::UpdateTracks(float dt)
{
    mPlayer.Update(dt);
    if (mCurrentWindow == GUIWindowId::kCredits) {
        mCreditsPosition += mHost->Tuning().mCreditsSpeed;
        if (mCreditsPosition > 1.0f)
            mCreditsPosition = 0.0f;
    }
    // Handlers may start and finish tracks: walk by index and empty the list at the end.
    for (size_t i = 0; i < mPlayer.mFinished.size(); ++i) {
        CAnimTrack* track = mPlayer.mFinished[i];
        if (track == nullptr)
            continue;
        track->mFinishedIndex = CAnimTrack::kNone;
        mPlayer.mFinished[i] = nullptr;
        DispatchFinished(track);
    }
    mPlayer.mFinished.clear();
}

void CGUIController::DispatchFinished(CAnimTrack* track)
{
    const CGUITrackEntry* found = TrackEntry(track);
    if (found == nullptr)
        return;
    const CGUITrackEntry entry = *found;
    switch (entry.mKind) {
    case kTrackFree:
        return;
    case kTrackWindow:
        OnWindowTrackFinished();
        return;
    case kTrackCountUp:
        OnCountUpTrackFinished(track, entry.mA);
        return;
    case kTrackWindowFade:
        StopTrack(track);
        mHandler->ShowScorePopup(entry.mA);
        return;
    case kTrackHighlight:
        OnHighlightTrackFinished(track);
        return;
    case kTrackTextLabels:
        mHandler->OnTextLabelTrackFinished(track, entry);
        return;
    default:
        if (entry.mKind >= kTrackHudFirst && entry.mKind <= kTrackHudLast)
            mHandler->OnHudTrackFinished(track, entry);
        else
            mHandler->OnWindowAction(entry.mKind);
        return;
    }
}

// ---- controls ----

void CGUIController::SetSliderPos(int32_t index, float value)
{
    GUISlider* slider = Slider(index);
    if (slider == nullptr)
        return;
    slider->mValue = std::clamp(value, 0.0f, 1.0f);
    slider->mNutX = slider->mRailX + static_cast<int32_t>(slider->mValue * float(slider->mRailLength));
}

void CGUIController::SetSliderFromPointer(GUISlider& slider, int32_t px)
{
    const int32_t offset = std::clamp(px - slider.mGrabOffset - slider.mRailX, 0, std::max(0, slider.mRailLength));
    slider.mNutX = slider.mRailX + offset;
    slider.mValue = slider.mRailLength > 0 ? float(offset) / float(slider.mRailLength) : 0.0f;
}

void CGUIController::SetListCount(int32_t count)
{
    GUIListBox* list = ListBox(0);
    if (list == nullptr)
        return;
    list->mLineCount = std::max(0, count);
    list->mScrollbar->SetMaximum(list->mLineCount);
}

void CGUIController::SetListScroll(int32_t index, int32_t line)
{
    GUIListBox* list = ListBox(index);
    if (list == nullptr)
        return;
    list->mFirstVisible = line;
    list->mScrollbar->SetPosition(line);
}

void CGUIController::RemoveListLine(int32_t line)
{
    GUIListBox* list = ListBox(0);
    if (list == nullptr || list->mLineCount <= 0)
        return;
    if (list->mLineCount > list->mMaxLines && list->mLineCount - line <= list->mMaxLines && list->mFirstVisible > 0)
        SetListScroll(0, list->mFirstVisible - 1);
    SetListCount(list->mLineCount - 1);
    if (list->mSelection >= list->mLineCount)
        list->mSelection = list->mLineCount - 1;
}

void CGUIController::SetListSource(int32_t index, GUIListBox::LineSource source)
{
    if (GUIListBox* list = ListBox(index))
        list->mLines = std::move(source);
}

void CGUIController::ScrollList(int32_t delta)
{
    GUIListBox* list = mHoverList;
    if (list == nullptr)
        return;
    if (delta < 0 && list->mFirstVisible < list->mLineCount - list->mMaxLines)
        SetListScroll(int32_t(list - mListBoxes.data()), list->mFirstVisible + 1);
    else if (delta > 0 && list->mFirstVisible > 0)
        SetListScroll(int32_t(list - mListBoxes.data()), list->mFirstVisible - 1);
}

std::string CGUIController::GetEditText(int32_t index)
{
    GUIEditBox* edit = EditBox(index);
    return edit != nullptr ? edit->mWidget->mText : std::string();
}

void CGUIController::ClearEditText()
{
    if (GUIEditBox* edit = EditBox(1))
        edit->mWidget->SetText("", true);
}

// ---- listeners of the edit boxes and scroll bars ----

void CGUIController::TextEntered(int id, const std::string& text)
{
    mHandler->OnProfileListChoice(id, text);
    RedrawOwner();
}

bool CGUIController::AllowKey(int, int)
{
    return true;
}

bool CGUIController::AllowChar(int id, char& ch)
{
    return IsCharAllowed(id, ch);
}

bool CGUIController::AllowText(int, const std::string&)
{
    return true;
}

void CGUIController::ScrollPosition(int id, double position)
{
    if (GUIListBox* list = ListBox(id))
        list->mFirstVisible = static_cast<int32_t>(position);
    RedrawOwner();
}

// The windows' own controls are widgets of their own: what they change in the
// windows the owner draws only when it is told.
void CGUIController::RedrawOwner()
{
    if (mOwner != nullptr)
        mOwner->MarkDirty();
}

Lumo::Font* CGUIController::FontOf(int32_t index) const
{
    return index >= 0 ? mHost->FontByIndex(index) : nullptr;
}

#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "framework/graphics/fonts/Font.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUICommandHandler.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIHost.h"

#include <algorithm>
#include <cmath>

namespace {

std::string FillFormat(const std::string& format, const std::string& value)
{
    const size_t at = format.find("{}");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + value + format.substr(at + 2);
}

} // namespace

int32_t CGUIController::TextHalfWidth(int32_t font, const std::string& text) const
{
    Lumo::Font* f = FontOf(font);
    return f != nullptr ? f->StringWidth(text) / 2 : 0;
}

int32_t CGUIController::LabelOfSlot(int32_t slot) const
{
    const int32_t label = InfoLabelIndex(slot);
    return label >= 0 && size_t(label) < mLabels.size() ? label : -1;
}

void CGUIController::SetLabelValue(int32_t index, int32_t value)
{
    GUILabel* label = Label(index);
    if (label == nullptr || label->mBroken)
        return;
    if (label->Has(GUILabel::kFormat)) {
        if (label->mFormat.find("{}") != std::string::npos) {
            label->mText = FillFormat(label->mFormat, std::to_string(value));
            label->mHalfWidthOrGroup = TextHalfWidth(label->mFontOrImage, label->mText);
        } else {
            label->mText = label->mFormat;
        }
        return;
    }
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    if (label->Has(GUILabel::kGroup)) {
        if (value < 0 || value >= label->mY) {
            log->Printf(Lumo::AppLog::kToFile, "WARNING groupcount missing for label id %d", index);
            value = std::clamp(value, 0, std::max(0, label->mY - 1));
        }
        label->mHalfWidthOrGroup = label->mX + value;
        return;
    }
    if (label->Has(GUILabel::kRandomGroup)) {
        if (value < 0 || value >= label->mY) {
            log->Printf(Lumo::AppLog::kToFile, "WARNING groupcount missing for randomgroup id %d", label->mX);
            value = std::clamp(value, 0, std::max(0, label->mY - 1));
        }
        const RandomGroup& group = mRandomGroups[size_t(label->mX + value)];
        const int32_t entries = group.mEnd - group.mFirst;
        if (entries <= 0)
            return;
        const int32_t pick = entries > 1 ? Lumo::RandomNumber(entries) : 0;
        label->mHalfWidthOrGroup = mLgroups[size_t(group.mFirst + pick)];
    }
}

void CGUIController::SetInfoLabelText(int32_t slot, const std::string& text)
{
    GUILabel* label = Label(LabelOfSlot(slot));
    if (label == nullptr || label->IsGroup() || label->Has(GUILabel::kImage))
        return;
    label->mText = label->Has(GUILabel::kFormat) ? FillFormat(label->mFormat, text) : text;
    label->mHalfWidthOrGroup = TextHalfWidth(label->mFontOrImage, label->mText);
}

void CGUIController::ClearLabelText(int32_t slot)
{
    GUILabel* label = Label(LabelOfSlot(slot));
    if (label == nullptr || label->IsGroup() || label->Has(GUILabel::kImage))
        return;
    label->mText.clear();
    label->mHalfWidthOrGroup = 0;
}

void CGUIController::StartCountUp(int32_t slot, int32_t value, int32_t reference, int32_t followUp, int32_t mode)
{
    const int32_t index = LabelOfSlot(slot);
    if (index < 0) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CGUIController - no info label %d", slot);
        return;
    }
    GUILabel& label = mLabels[size_t(index)];
    label.mShown = 0;
    label.mCurrent = 0;
    label.mTarget = value;
    label.mTargetF = float(value);
    label.mFollowUp = followUp;
    if (mSkipCounting || value == 0) {
        FinishCountUp(index, true);
        return;
    }
    if (!label.Has(GUILabel::kCounting) && !label.Has(GUILabel::kZoomPhase) && label.mTrack == nullptr)
        label.mTrack = mHost->Tracks().NewIdleInstance();
    label.mFlags &= ~(GUILabel::kZoomAfterCount | GUILabel::kZoomPhase);
    if ((mode & 1) == 0) {
        label.mFlags |= GUILabel::kZoomPhase;
        label.mTrack->mSpeed = mZoomSpeed;
        label.mCurrent = value;
    } else {
        label.mFlags |= GUILabel::kCounting;
        double r = std::fabs(double(value) / double(reference));
        if (!std::isfinite(r))
            r = 0.5;
        else if (r < 0.01)
            r = 0.0;
        r = std::min(r, 1.0);
        label.mTrack->mSpeed = float(std::fabs(mCountSpeedMax - mCountSpeedMin) * (1.0 - r) + mCountSpeedMin);
        if ((mode & 2) != 0)
            label.mFlags |= GUILabel::kZoomAfterCount;
    }
    SetLabelValue(index, label.mCurrent);
    if (TrackEntry(label.mTrack) == nullptr) {
        label.mTrack->mTime = 0.0f;
        label.mTrack->mRunning = 1;
        label.mTrack->mRepeatCount = 1;
        StartTrack(label.mTrack, kTrackCountUp, slot, 0);
    } else {
        RestartTrack(label.mTrack, 0.0f);
    }
}

bool CGUIController::FinishCountUp(int32_t index, bool immediate)
{
    GUILabel* found = Label(index);
    if (found == nullptr)
        return false;
    GUILabel& label = *found;
    label.mCurrent = label.mTarget;
    SetLabelValue(index, label.mTarget);
    bool zooming = false;
    if (!immediate && label.Has(GUILabel::kZoomAfterCount) && label.mTrack != nullptr) {
        label.mFlags |= GUILabel::kZoomPhase;
        label.mTrack->mSpeed = mZoomSpeed;
        RestartTrack(label.mTrack, 0.0f);
        zooming = true;
    }
    if (immediate && label.mTrack != nullptr) {
        StopTrack(label.mTrack);
        mHost->Tracks().FreeInstance(label.mTrack);
        label.mTrack = nullptr;
        label.mFlags &= ~GUILabel::kZoomPhase;
    }
    label.mFlags &= ~GUILabel::kCounting;
    if (label.mFollowUp != 0)
        mHandler->ShowScorePopup(label.mFollowUp);
    return zooming;
}

void CGUIController::OnCountUpTrackFinished(CAnimTrack* track, int32_t slot)
{
    const int32_t index = LabelOfSlot(slot);
    GUILabel* label = Label(index);
    if (label == nullptr || label->mTrack != track) {
        StopTrack(track);
        return;
    }
    if (label->Has(GUILabel::kZoomPhase) || !FinishCountUp(index, false)) {
        label->mFlags &= ~(GUILabel::kCounting | GUILabel::kZoomPhase);
        StopTrack(track);
        mHost->Tracks().FreeInstance(track);
        label->mTrack = nullptr;
    }
}

bool CGUIController::SkipCountUps()
{
    const GUIWindow* window = Window(mCurrentWindow);
    if (window == nullptr)
        return false;
    // Count-ups that the finished ones start in turn end at once too.
    mSkipCounting = true;
    bool any = false;
    for (int32_t i = window->mFirstInfoLabel; i < window->mFirstLabel; ++i) {
        if (mLabels[size_t(i)].Has(GUILabel::kCounting)) {
            FinishCountUp(i, true);
            any = true;
        }
    }
    mSkipCounting = false;
    return any;
}

void CGUIController::StopWindowCountUps(int32_t id)
{
    const GUIWindow* window = Window(id);
    if (window == nullptr)
        return;
    for (int32_t i = window->mFirstInfoLabel; i < window->mFirstLabel; ++i) {
        GUILabel& label = mLabels[size_t(i)];
        if (label.mTrack != nullptr) {
            StopTrack(label.mTrack);
            mHost->Tracks().FreeInstance(label.mTrack);
            label.mTrack = nullptr;
        }
        label.mFlags &= ~(GUILabel::kCounting | GUILabel::kZoomPhase | GUILabel::kZoomAfterCount);
    }
}

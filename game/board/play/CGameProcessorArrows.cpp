#include "game/board/play/CGameProcessor.h"

#include "game/board/field/CGameField.h"
#include "game/board/play/PopupRecord.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

#include <cmath>

namespace {

constexpr float kDimAlpha = 0.65f;

} // namespace

void CGameProcessor::RemoveArrows()
{
    if (!mArrowTrack)
        return;
    if (mArrowTrack->mAttached)
        StopProcess(mArrowTrack);
    mLinks.mTracks->FreeInstance(mArrowTrack);
    mArrowTrack = nullptr;
    mArrowMode = kArrowsNew;
    for (int32_t& index : mArrowRecords) {
        if (mLinks.mField)
            mLinks.mField->RemovePopupRecord(index);
        index = kNone;
    }
}

void CGameProcessor::AddArrows()
{
    mArrowTrack = mLinks.mTracks->NewIdleInstance();
    mArrowTrack->mRepeatCount = 1;
    mArrowTrack->mCurve = &mArrowCurve;
    mArrowTrack->mTime = 0.0f;
    mArrowMode = kArrowsNew;
    if (!mLinks.mField)
        return;
    const CGameField& field = *mLinks.mField;
    const CGameConfig::Values& config = CGameConfig::live;
    // The column starts beside the field, level with the middle of its rows.
    const float top = (field.StepY() * float(field.Height()) - field.Shape().mVSpacing) / 2.0f + config.arrowOffset[1];
    for (int32_t i = 0; i < kArrowCount; ++i) {
        const FieldPoint p = field.FieldToScreen({config.arrowOffset[0], top + float(i) * config.arrowStepY});
        PopupRecord record;
        record.mType = PopupRecord::kScore;
        record.mSlot = config.imgArrow;
        record.mX = TruncateToInt(p.mX + field.Origin().mX);
        record.mY = TruncateToInt(p.mY + field.Origin().mY);
        mArrowRecords[size_t(i)] = mLinks.mField->AddPopupRecord(record);
    }
}

void CGameProcessor::SetArrows(bool stop, bool dim, bool hide, bool show, bool flash)
{
    if (stop && hide) {
        RemoveArrows();
        return;
    }
    if (!mArrowTrack)
        AddArrows();
    CAnimTrack& track = *mArrowTrack;
    track.mRunning = 1;
    track.mRepeatCount = 1;
    float channels[4] = {};
    SampleCurve4D(&mArrowCurve, channels, track.mTime);
    float alpha = std::isnan(channels[3]) ? 0.0f : channels[3];

    // A column just built has no alpha of its own yet: each request starts it from a fixed one.
    const CGameConfig::Values& config = CGameConfig::live;
    struct Fade {
        float mFresh;
        float mTarget;
        int32_t mMode;
        float mSpeed;
    };
    const Fade* fade = nullptr;
    const Fade fades[] = {{1.0f, 0.0f, kArrowsHidden, config.arrowShowspeed},
                          {0.0f, kDimAlpha, kArrowsDim, config.arrowShowspeed},
                          {1.0f, kDimAlpha, kArrowsFlash, config.arrowFlashspeed},
                          {kDimAlpha, 1.0f, kArrowsShown, config.arrowFlashspeed}};
    if (hide)
        fade = &fades[0];
    else if (dim)
        fade = &fades[1];
    else if (flash)
        fade = &fades[2];
    else if (show)
        fade = &fades[3];
    if (fade) {
        if (mArrowMode == kArrowsNew)
            alpha = fade->mFresh;
        mArrowCurve.mValues[3] = alpha;
        mArrowCurve.mValues[7] = fade->mTarget;
        mArrowMode = fade->mMode;
        const float speed = std::fabs(alpha - fade->mTarget) * fade->mSpeed;
        track.mSpeed = std::isfinite(speed) ? speed : 1.0f;
    }

    if (stop) {
        if (track.mAttached)
            StopProcess(&track);
    } else {
        RestartTimer(&track, 0.0f);
        if (!track.mAttached)
            StartProcess(kProcessArrows, &track, true);
    }
    for (int32_t index : mArrowRecords)
        if (index != kNone)
            mLinks.mField->Popup(index).mColourTrack = &track;
}

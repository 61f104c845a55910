#include "game/board/play/CGameProcessor.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/Font.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CBoardHost.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"

#include <string>

namespace {

// The superbonus's title follows the four combo levels' in "combonames".
constexpr int32_t kSuperbonusTitle = 4;

} // namespace

void CGameProcessor::SetUpPopupStrip()
{
    const CGameConfig::Values& config = CGameConfig::live;
    if (mLinks.mImages && config.bannerWidth > 0 && config.bannerHeight > 0 && config.maxCount > 0)
        mLinks.mImages->SetStripParams(mStrip, config.bannerWidth, config.bannerHeight, config.maxCount);
}

void CGameProcessor::DrawPopupText(int32_t slot, int32_t kind, int32_t value)
{
    const CImageSlot* cell = mLinks.mImages->Slot(slot);
    if (!cell || !cell->mImage)
        return;
    Lumo::Graphics g(cell->mImage);
    g.SetClipRectR(cell->mRect);
    g.ClearRectArea(cell->mRect);
    g.SetColor(Lumo::Color(255, 255, 255, 255));
    g.SetTintImages(false);
    Lumo::Font* points = CGameConfig::FontAt(CGameConfig::kHudScore);
    Lumo::Font* titles = CGameConfig::FontAt(CGameConfig::kCombo);
    const std::string text = "+" + std::to_string(value);
    const int32_t x = cell->mRect.mX + 2;
    const int32_t y = cell->mRect.mY;
    if (kind == 0) {
        g.SetFont(points);
        g.DrawText(text, x, y + (points ? points->GetHeight() : 0));
        return;
    }
    const std::string title = mLinks.mHost ? mLinks.mHost->ComboName(kind > 0 ? kind - 1 : kSuperbonusTitle) : "";
    g.SetFont(titles);
    const int32_t titleHeight = titles ? titles->GetHeight() : 0;
    g.DrawText(title, x, y + titleHeight);
    g.SetFont(points);
    const int32_t under = titles && points ? (titles->StringWidth(title) - points->StringWidth(text)) / 2 : 0;
    const int32_t baseline = titleHeight + (points ? points->GetHeight() : 0) + CGameConfig::live.interline - 2;
    g.DrawText(text, x + (under > 0 ? under : 0), y + baseline);
}

void CGameProcessor::ShowPopup(int32_t kind, int32_t value, bool atGiven, int32_t x, int32_t y, int32_t fadeDefinition,
                               int32_t moveDefinition)
{
    const CGameConfig::Values& config = CGameConfig::live;
    int32_t slot = kNone;
    if (!mLinks.mImages || !mLinks.mField || mPopupCells >= config.maxCount ||
        !mLinks.mImages->GetStripFrame(mStrip, 0, 0, &slot))
        return;
    ++mPopupCells;
    DrawPopupText(slot, kind, value);

    if (!atGiven && mLinks.mBall) {
        const std::array<int32_t, 4> rect = mLinks.mBall->GetScreenRect();
        x = rect[0] + rect[2] / 2 - config.bannerWidth / 2;
        y = rect[1] - rect[3] / 2;
    }
    int32_t move = config.ctrlMatchpointsBaner;
    int32_t fade = config.ctrlMatchpointsBanerFader;
    if (kind == kSuperbonusPopup) {
        move = config.ctrlSuperbonusBaner;
        fade = config.ctrlSuperbonusBanerFader;
    } else if (kind != 0) {
        move = config.ctrlComboBaner;
        fade = config.ctrlComboBanerFader;
    }
    if (moveDefinition != kNone)
        move = moveDefinition;
    if (fadeDefinition != kNone)
        fade = fadeDefinition;

    PopupRecord record;
    record.mType = PopupRecord::kScore;
    record.mSlot = slot;
    record.mX = x;
    record.mY = y;
    mLinks.mTracks->StartTrack(record.mMoveTrack, move, true, &mPlayer);
    mLinks.mTracks->StartTrack(record.mColourTrack, fade, true, &mPlayer);
    if (!record.mColourTrack)
        mLinks.mTracks->StartTimer(record.mColourTrack, 0.0f, 1.0f, 1, true, &mPlayer);
    for (CAnimTrack* track : {record.mMoveTrack, record.mColourTrack})
        if (track) {
            track->mTime = 0.0f;
            track->mRepeatCount = 1;
        }
    const int32_t index = mLinks.mField->AddPopupRecord(record);
    ProcessSlot& process = StartProcess(kProcessScorePopup, record.mColourTrack, true);
    process.SetWord(3, index);
    if (record.mMoveTrack) {
        record.mMoveTrack->mOwnerTag = record.mColourTrack->mOwnerTag;
        mPlayer.Attach(record.mMoveTrack);
    }
}

void CGameProcessor::FinishScorePopup(CAnimTrack& track)
{
    const int32_t slot = track.mOwnerTag;
    const int32_t index = int32_t(mSlots[size_t(slot)].Word(3));
    PopupRecord& popup = mLinks.mField->Popup(index);
    if (popup.mColourTrack != &track)
        return;
    mLinks.mImages->StripFrameForSlot(mStrip, popup.mSlot);
    --mPopupCells;
    StopProcess(&track);
    for (CAnimTrack** owned : {&popup.mMoveTrack, &popup.mColourTrack}) {
        if (*owned)
            mLinks.mTracks->FreeInstance(*owned);
        *owned = nullptr;
    }
    mLinks.mField->RemovePopupRecord(index);
}

void CGameProcessor::FinishScorePopups()
{
    size_t i = 0;
    while (i < mPlayer.mActive.size()) {
        CAnimTrack* track = mPlayer.mActive[i];
        const int32_t slot = track->mOwnerTag;
        const bool fade = slot >= 0 && size_t(slot) < mSlots.size() &&
                          mSlots[size_t(slot)].mKind == kProcessScorePopup &&
                          mLinks.mField->Popup(int32_t(mSlots[size_t(slot)].Word(3))).mColourTrack == track;
        if (!fade) {
            ++i;
            continue;
        }
        FinishScorePopup(*track);
        i = 0;
    }
}

#include "game/board/bonuses/CBonusBanner.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/Font.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/pictures/CImageTable.h"

namespace {

constexpr int32_t kCellSize = 88;
constexpr int32_t kCells = 16;

} // namespace

CBonusBanner::CBonusBanner(CGameProcessor& processor, CGameField& field, CImageTable& images, CTrackBase& tracks)
    : mProcessor(processor), mField(field), mImages(images), mTracks(tracks)
{
    Reset();
}

CBonusBanner::~CBonusBanner()
{
    Clear();
    mTracks.FreeInstance(mLetterTimer);
    mTracks.FreeInstance(mWordStay);
    for (CAnimTrack* track : mEffects)
        mTracks.FreeInstance(track);
    mImages.ReleaseStrip(mStrip);
}

void CBonusBanner::Reset()
{
    mShowing = 0;
    if (mStrip.mFrameWidth != kCellSize || mStrip.mFrameHeight != kCellSize || mStrip.mFramesPerPage != kCells) {
        mImages.SetStripParams(mStrip, kCellSize, kCellSize, kCells);
        mImages.BuildStrip(mStrip);
    }
    for (CAnimTrack** track : {&mLetterTimer, &mWordStay, &mEffects[0], &mEffects[1], &mEffects[2], &mEffects[3]})
        if (!*track)
            *track = mTracks.NewIdleInstance();
    mProcessor.RegisterKind(kProcessBonusBanner,
                            {[this](CAnimTrack& track, int32_t slot) { Update(track, slot); }, nullptr});
}

std::vector<int32_t> CBonusBanner::LetterHandles() const
{
    std::vector<int32_t> handles;
    for (const Letter& letter : mLetters)
        handles.push_back(letter.mPopup);
    return handles;
}

void CBonusBanner::StartTimer(CAnimTrack*& track, float speed)
{
    mTracks.StartTimer(track, 0.0f, speed, 1, true, &mProcessor.Player());
    mProcessor.StartProcess(kProcessBonusBanner, track, true);
}

void CBonusBanner::RunTrack(CAnimTrack*& track, int32_t definition)
{
    mTracks.StartTrack(track, definition, true, &mProcessor.Player());
    track->mTime = 0.0f;
    track->mRepeatCount = 1;
    mProcessor.StartProcess(kProcessBonusBanner, track, true);
}

void CBonusBanner::StopTrack(CAnimTrack* track)
{
    if (track && track->mAttached)
        mProcessor.StopProcess(track);
}

void CBonusBanner::Spawn(int32_t variant, const std::string& name)
{
    if (mShowing)
        Clear();
    mVariant = variant;
    mStage = 0;
    mShowing = 1;
    mReleased = 0;
    mLetters.clear();

    const CGameConfig::Values& config = CGameConfig::live;
    Lumo::Font* font = CGameConfig::FontAt(CGameConfig::kBonusBanner);
    if (!font)
        return;
    const int32_t w = font->StringWidth(name);
    const int32_t h = font->GetHeight();
    int32_t x = -(w / 2);
    const int32_t y = -(h / 2) - config.vertical;
    char previous = 0;
    for (const char c : name) {
        const int32_t advance = font->CharWidthKerned(c, previous);
        previous = c;
        int32_t cell = -2;
        if (!mImages.GetStripFrame(mStrip, font->CharWidth(c) + config.interSymbol, h, &cell))
            continue;
        const CImageSlot* slot = mImages.Slot(cell);
        if (!slot || !slot->mImage)
            continue;
        Lumo::Graphics g(slot->mImage);
        g.SetClipRectR(slot->mRect);
        g.ClearRectArea(slot->mRect);
        g.SetFont(font);
        g.SetColor(Lumo::Color(255, 255, 255, 255));
        g.DrawText(std::string(1, c), slot->mRect.mX, slot->mRect.mY + h - 2);

        Letter letter;
        if (variant == kRise) {
            letter = {-2, cell, x, 300, 0, y - 300, nullptr};
        } else if (variant == kSlide) {
            letter = {-2, cell, 400, y, x - 400, 0, nullptr};
        } else {
            letter = {-2, cell, x, y, 0, 0, nullptr};
        }
        PopupRecord record;
        record.mType = PopupRecord::kMovingImage;
        record.mHidden = 1;
        record.mSlot = cell;
        record.mX = letter.mStartX;
        record.mY = letter.mStartY;
        // The word zooms about the screen's centre, spreading its letters.
        record.mZoomPosition = 1;
        letter.mPopup = mField.AddPopupRecord(record);
        mLetters.push_back(letter);
        x += advance;
    }
    mEndX = x + w / 2;
    if (mLetters.empty())
        return;
    const float speed = variant == kRise    ? config.varbNextletterTime
                        : variant == kSlide ? config.varaNextletterTime
                                            : config.varcNextletterTime;
    StartTimer(mLetterTimer, speed);
}

void CBonusBanner::Update(CAnimTrack& track, int32_t)
{
    if (&track == mLetterTimer)
        ReleaseNextLetter();
    else if (&track == mWordStay)
        OnWordStayEnd();
    else
        OnEffectTrackEnd(track);
}

void CBonusBanner::ReleaseNextLetter()
{
    const CGameConfig::Values& config = CGameConfig::live;
    if (size_t(mReleased) < mLetters.size()) {
        Letter& letter = mLetters[size_t(mReleased)];
        PopupRecord& record = mField.Popup(letter.mPopup);
        record.mHidden = 0;
        const int32_t definition = mVariant == kRise    ? config.varbFlyCtrl
                                   : mVariant == kSlide ? config.varaFlyCtrl
                                                        : config.varcFadeinCtrl;
        RunTrack(letter.mEntry, definition);
        if (mVariant == kFade) {
            record.mColourTrack = letter.mEntry;
        } else {
            record.mMoveTrack = letter.mEntry;
            record.mAmplitudeX = letter.mDeltaX;
            record.mAmplitudeY = letter.mDeltaY;
        }
        ++mReleased;
    }
    if (size_t(mReleased) < mLetters.size())
        mProcessor.RestartTimer(mLetterTimer, 0.0f);
    else
        StopTrack(mLetterTimer);
}

void CBonusBanner::SettleLetter(Letter& letter)
{
    PopupRecord& record = mField.Popup(letter.mPopup);
    record.mX = letter.mStartX + letter.mDeltaX;
    record.mY = letter.mStartY + letter.mDeltaY;
    record.mMoveTrack = nullptr;
    record.mAmplitudeX = 0;
    record.mAmplitudeY = 0;
    if (record.mColourTrack == letter.mEntry)
        record.mColourTrack = nullptr;
}

void CBonusBanner::MoveLetters(CAnimTrack* track, int32_t dx, int32_t dy)
{
    for (const Letter& letter : mLetters) {
        PopupRecord& record = mField.Popup(letter.mPopup);
        record.mMoveTrack = track;
        record.mAmplitudeX = dx;
        record.mAmplitudeY = dy;
    }
}

void CBonusBanner::OnEffectTrackEnd(CAnimTrack& track)
{
    const CGameConfig::Values& config = CGameConfig::live;
    for (size_t i = 0; i < mLetters.size(); ++i) {
        Letter& letter = mLetters[i];
        if (letter.mEntry != &track)
            continue;
        SettleLetter(letter);
        mProcessor.StopProcess(letter.mEntry);
        mTracks.FreeInstance(letter.mEntry);
        letter.mEntry = nullptr;
        if (i + 1 == mLetters.size()) {
            const float speed = mVariant == kRise    ? config.varbWordstayTime
                                : mVariant == kSlide ? config.varaWordstayTime
                                                     : config.varcWordstayTime;
            StartTimer(mWordStay, speed);
        }
        return;
    }
    if (mVariant == kRise && &track == mEffects[kFadeTrack]) {
        if (mStage == 0) {
            mStage = 1;
            mTracks.StartTrack(mEffects[kFadeTrack], config.varbFlyColor, true, &mProcessor.Player());
            mEffects[kFadeTrack]->mTime = 0.0f;
            mEffects[kFadeTrack]->mRepeatCount = 1;
            mProcessor.Player().Attach(mEffects[kFadeTrack]);
            for (const Letter& letter : mLetters)
                mField.Popup(letter.mPopup).mColourTrack = mEffects[kFadeTrack];
        } else {
            Clear();
        }
    } else if (mVariant == kSlide && &track == mEffects[kMoveTrack]) {
        RunTrack(mEffects[kWordFlyTrack], config.varaWordflyCtrl);
        // Settled letters stand where they landed; the word flies off to the left.
        MoveLetters(mEffects[kWordFlyTrack], -400 - mEndX / 2, 10);
    } else if (mVariant == kSlide && &track == mEffects[kWordFlyTrack]) {
        Clear();
    } else if (mVariant == kFade && &track == mEffects[kFadeTrack]) {
        Clear();
    }
}

void CBonusBanner::OnWordStayEnd()
{
    const CGameConfig::Values& config = CGameConfig::live;
    StopTrack(mWordStay);
    if (mVariant == kRise) {
        RunTrack(mEffects[kZoomTrack], config.varbZoomout);
        for (const Letter& letter : mLetters)
            mField.Popup(letter.mPopup).mScaleTrack = mEffects[kZoomTrack];
        StartTimer(mEffects[kFadeTrack], config.varbFadeoutstartTime);
    } else if (mVariant == kSlide) {
        RunTrack(mEffects[kMoveTrack], config.varaWordbonceCtrl);
        MoveLetters(mEffects[kMoveTrack], 10, 10);
    } else {
        RunTrack(mEffects[kMoveTrack], config.varcWordmoveCtrl);
        RunTrack(mEffects[kFadeTrack], config.varcWordfadeoutCtrl);
        MoveLetters(mEffects[kMoveTrack], 10, 300);
        for (const Letter& letter : mLetters)
            mField.Popup(letter.mPopup).mColourTrack = mEffects[kFadeTrack];
    }
}

void CBonusBanner::Clear()
{
    for (Letter& letter : mLetters) {
        if (letter.mEntry) {
            StopTrack(letter.mEntry);
            mTracks.FreeInstance(letter.mEntry);
            letter.mEntry = nullptr;
        }
        mField.RemovePopupRecord(letter.mPopup);
        // The cell goes back to the strip, so banners never use up its pages.
        mImages.StripFrameForSlot(mStrip, letter.mCell);
    }
    mLetters.clear();
    mReleased = 0;
    StopTrack(mLetterTimer);
    StopTrack(mWordStay);
    for (CAnimTrack* track : mEffects)
        StopTrack(track);
    mShowing = 0;
}

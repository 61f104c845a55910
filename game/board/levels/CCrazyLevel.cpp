#include "game/board/levels/CCrazyLevel.h"

#include "framework/core/RuntimeRandom.h"
#include "game/board/RunnableSpeed.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CCrazyDisplay.h"
#include "game/board/levels/CCrazyTurns.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CSceneObjBase.h"

#include <algorithm>

namespace {

constexpr uint8_t kMustSpin = 255;
constexpr int32_t kFullPercent = 100;
// The indicators show the colours 0 to 3, in order; a crazy colour beyond them shows the last.
constexpr int32_t kIndicatorCount = 4;

} // namespace

CCrazyLevel::CCrazyLevel(const CrazyLinks& links) : mLinks(links) {}

CCrazyLevel::~CCrazyLevel() = default;

void CCrazyLevel::Init()
{
    if (!mPhaseTrack)
        mPhaseTrack = mLinks.mTracks->NewIdleInstance();
    mLinks.mProcessor->RegisterKind(kProcessCrazyLevel,
                                    {[this](CAnimTrack& track, int32_t slot) { OnPhaseFinished(track, slot); },
                                     [this](CAnimTrack&, int32_t) { Stop(); }});
}

void CCrazyLevel::Shutdown()
{
    Stop();
    RemoveIndicator();
    if (mPhaseTrack)
        mLinks.mTracks->FreeInstance(mPhaseTrack);
    mPhaseTrack = nullptr;
}

int32_t CCrazyLevel::BlocksToTurn() const { return mLinks.mTurns->BlocksToTurn(); }

CFieldBlock* CCrazyLevel::BlockAt(int32_t cell) const
{
    const CGameField& field = *mLinks.mField;
    return cell >= 0 && cell < field.CellCount() ? field.Record(cell).mBlock : nullptr;
}

void CCrazyLevel::ShowPercent(int32_t percent)
{
    if (mLinks.mDisplay)
        mLinks.mDisplay->SetCrazyPercent(percent);
}

void CCrazyLevel::NewTurn(int32_t colours)
{
    Stop();
    RemoveIndicator();
    CCrazyTurns& turns = *mLinks.mTurns;
    turns.NewTurn(colours);
    const int32_t crazy = turns.CrazyColour();
    CGameField& field = *mLinks.mField;
    mBlocksToSpin = 0;
    for (int32_t cell = 0; cell < field.CellCount(); ++cell) {
        CFieldBlock* block = field.Record(cell).mBlock;
        if (!block)
            continue;
        if (CCellGrid::ColourOf(field.Grid().Cell(cell)) == crazy) {
            block->mSpinFlag = 0;
            continue;
        }
        block->mColour = 0;
        block->mSpinFlag = kMustSpin;
        block->mSpinCount = int16_t(Lumo::Rand() % 3 + 1);
        block->mSpinTarget = int16_t(crazy);
        ++mBlocksToSpin;
    }
    // Every crazy level says its colour: a person cannot play for a colour not shown.
    CGameProcessor& processor = *mLinks.mProcessor;
    const int32_t definition = CGameConfig::live.crazylevelAnim[std::clamp(crazy, 0, kIndicatorCount - 1)];
    mLinks.mSceneObjects->Spawn(definition, mIndicator, &processor.Player(), &processor.Player());
    CAnimTrack* track = mIndicator.mMoveTrack;
    if (!track)
        return;
    mIndicatorSpeed = track->mSpeed;
    track->mSpeed = RunnableSpeed(CGameConfig::live.crazyHudcolorStatic);
    processor.RestartTimer(track, 0.0f);
    processor.StartProcess(kProcessCrazyLevel, track, true);
    mIndicatorShown = true;
    if (mLinks.mDisplay)
        mLinks.mDisplay->SetCrazyIndicator(&mIndicator, true);
}

void CCrazyLevel::RemoveIndicator()
{
    if (mIndicator.mMoveTrack && mIndicator.mMoveTrack->mAttached)
        mLinks.mProcessor->StopProcess(mIndicator.mMoveTrack);
    mLinks.mSceneObjects->Release(mIndicator);
    mIndicatorShown = false;
    if (mLinks.mDisplay)
        mLinks.mDisplay->SetCrazyIndicator(nullptr, false);
}

void CCrazyLevel::PhaseAnim()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    if (mPhaseTrack->mAttached)
        processor.StopProcess(mPhaseTrack);
    mLinks.mTurns->SetPhase(CCrazyTurns::kWaiting);
    mLinks.mTracks->StartTimer(mPhaseTrack, 0.0f, RunnableSpeed(CGameConfig::live.crazyWaiting), 1, true,
                               &processor.Player());
    mPhaseTrack->mCurve = nullptr;
    processor.StartProcess(kProcessCrazyLevel, mPhaseTrack, true);
    ShowPercent(kFullPercent);
    // The spin's pattern: every spinning block's halves copy it.
    if (!mLinks.mTracks->StartTrack(mSpinTrack, mLinks.mField->SpinTrack(), false, &processor.Player()))
        mLinks.mTracks->StartTimer(mSpinTrack, 0.0f, 1.0f, 0, false, &processor.Player());
    mSpinTrack->mTime = 0.5f;
    mSpinTrack->mRepeatCount = 0;
    mSpinTrack->mSpeed = RunnableSpeed(mSpinTrack->mSpeed);
}

void CCrazyLevel::OnPhaseFinished(CAnimTrack& track, int32_t slot)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    if (&track == mIndicator.mMoveTrack) {
        mIndicatorShown = !mIndicatorShown;
        track.mSpeed = RunnableSpeed(mIndicatorShown ? mIndicatorSpeed : CGameConfig::live.crazyHudcolorStatic);
        if (mLinks.mDisplay)
            mLinks.mDisplay->SetCrazyIndicator(&mIndicator, mIndicatorShown);
        processor.RestartTimer(&track, 0.0f);
        return;
    }
    if (&track == mPhaseTrack) {
        const int32_t phase = mLinks.mTurns->Phase();
        if (phase == CCrazyTurns::kWaiting)
            StartSpin();
        else if (phase == CCrazyTurns::kSpinDone || phase == CCrazyTurns::kPulse)
            EndPulse();
        return;
    }
    if (CFieldBlock* block = processor.Slot(slot).Object<CFieldBlock>(2))
        StepSpin(*block);
}

void CCrazyLevel::StartSpin()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CCrazyTurns& turns = *mLinks.mTurns;
    CGameField& field = *mLinks.mField;
    turns.SetPhase(CCrazyTurns::kSpinning);
    const int32_t crazy = turns.CrazyColour();
    const float spread = CGameConfig::live.crazyRotspeed;
    float slowest = 0.0f;
    int32_t most = 0;
    // Blocks may have left the field since the level began, a superbonus's
    // group that was still rising, so the counts are taken again.
    turns.CountBlocksToTurn();
    mBlocksToSpin = 0;
    for (int32_t cell = 0; cell < field.CellCount(); ++cell) {
        CFieldBlock* block = field.Record(cell).mBlock;
        if (!block || block->mSpinFlag != kMustSpin)
            continue;
        ++mBlocksToSpin;
        if (!SpinHalf(*block, 1)) {
            EndSpin(*block);
            continue;
        }
        CAnimTrack* track = block->mColourAnim->mTrack;
        track->mSpeed = RunnableSpeed(mSpinTrack->mSpeed * (1.0f + float(Lumo::Rand() % 1000) * 0.001f * spread));
        // A crazy colour of 0 leaves no other colour to spin through.
        block->mColour = crazy > 0 ? Lumo::Rand() % crazy : 0;
        block->mSpinState = 1;
        processor.StartProcess(kProcessCrazyLevel, track, true).SetObject(2, block);
        slowest = most == 0 ? track->mSpeed : std::min(slowest, track->mSpeed);
        most = std::max(most, int32_t(block->mSpinCount));
    }
    if (mBlocksToSpin <= 0 || most == 0) {
        FinishSpin();
        return;
    }
    // The phase track lasts about as long as the slowest, longest spin.
    mPhaseTrack->mSpeed = RunnableSpeed(slowest / float(2 * most));
    processor.RestartTimer(mPhaseTrack, 0.0f);
    ShowPercent(turns.CrazyPercent());
}

bool CCrazyLevel::SpinHalf(CFieldBlock& block, int32_t half)
{
    const std::vector<BlockDef>& defs = mLinks.mField->BlockDefs();
    if (size_t(block.mColour) >= defs.size())
        return false;
    const BlockDef& def = defs[size_t(block.mColour)];
    const int32_t anim = half == 1 ? def.mSpinAnim1 : def.mSpinAnim2;
    CGameProcessor& processor = *mLinks.mProcessor;
    CAnimBase& anims = *mLinks.mAnims;
    if (!block.mColourAnim) {
        CAnimInstance* instance = anims.CreateInstance(anim, &processor.Player());
        if (!instance)
            return false;
        CAnimTrack::CopyDefinition(instance->mTrack, *mSpinTrack);
        instance->mTrack->mRestart = 0;
        block.mColourAnim = instance;
    } else if (const CAnimBase::Record* record = anims.AnimRecord(anim)) {
        block.mColourAnim->mFirstFrame = record->mFirstFrame;
        block.mColourAnim->mEndFrame = record->mEndFrame;
    }
    block.mMotionTrack = block.mColourAnim->mTrack;
    processor.RestartTimer(block.mColourAnim->mTrack, mSpinTrack->mTime);
    return true;
}

void CCrazyLevel::StepSpin(CFieldBlock& block)
{
    if (block.mSpinState == 1) {
        block.mSpinState = 2;
        SpinHalf(block, 2);
        return;
    }
    if (--block.mSpinCount > 0) {
        block.mSpinState = 1;
        SpinHalf(block, 1);
        const int32_t crazy = mLinks.mTurns->CrazyColour();
        block.mColour = crazy > 0 ? Lumo::Rand() % crazy : 0;
        return;
    }
    EndSpin(block);
    if (mBlocksToSpin == 0)
        FinishSpin();
}

void CCrazyLevel::EndSpin(CFieldBlock& block)
{
    CCellGrid& grid = mLinks.mField->Grid();
    const int32_t cell = block.mRow * mLinks.mField->Width() + block.mColumn;
    grid.Cell(cell) = CCellGrid::WithColour(grid.Cell(cell), block.mColour) | CCellGrid::kOccupied;
    if (CAnimInstance* instance = block.mColourAnim) {
        if (instance->mTrack && instance->mTrack->mAttached)
            mLinks.mProcessor->StopProcess(instance->mTrack);
        if (block.mMotionTrack == instance->mTrack)
            block.mMotionTrack = nullptr;
        mLinks.mAnims->ReleaseInstance(instance);
        block.mColourAnim = nullptr;
    }
    block.mSpinFlag = 0;
    block.mSpinState = 0;
    --mBlocksToSpin;
}

void CCrazyLevel::FinishSpin()
{
    mLinks.mField->Grid().CountColours();
    CBall& ball = *mLinks.mBall;
    ball.ClearState(CBall::kFrozen | CBall::kHeld);
    ball.SetState(CBall::kBouncing | CBall::kRising);
    mLinks.mTurns->SetPhase(CCrazyTurns::kSpinDone);
    ShowPercent(mLinks.mTurns->CrazyPercent());
    if (mPhaseTrack->mAttached)
        mLinks.mProcessor->StopProcess(mPhaseTrack);
    if (mSpinTrack)
        mLinks.mTracks->FreeInstance(mSpinTrack);
    mSpinTrack = nullptr;
}

void CCrazyLevel::PhaseStep(int32_t cell)
{
    CCrazyTurns& turns = *mLinks.mTurns;
    if (mPhaseTrack->mAttached) {
        if (turns.Phase() != CCrazyTurns::kPulse)
            return;
        EndPulse();
    }
    if (!turns.PhaseStep(cell))
        return;
    ShowPercent(turns.CrazyPercent());
    CGameProcessor& processor = *mLinks.mProcessor;
    if (CFieldBlock* block = BlockAt(cell)) {
        block->mColour = CCellGrid::ColourOf(mLinks.mField->Grid().Cell(cell));
        block->mSpinState = 2;
        block->mSpinFlag = 0;
        block->mMotionTrack = mPhaseTrack;
    }
    if (!mLinks.mTracks->StartTrack(mPhaseTrack, CGameConfig::live.ctrlLevelCrazyPulse, true, &processor.Player()))
        mLinks.mTracks->StartTimer(mPhaseTrack, 0.0f, 1.0f, 1, true, &processor.Player());
    mPhaseTrack->mTime = 0.0f;
    mPhaseTrack->mRepeatCount = 1;
    mPhaseTrack->mRestart = 0;
    mPhaseTrack->mSpeed = RunnableSpeed(CGameConfig::live.crazyFlipspeedperc / mLinks.mBall->Times().mRise);
    processor.StartProcess(kProcessCrazyLevel, mPhaseTrack, true).SetWord(2, cell);
    mPulseCell = cell;
}

void CCrazyLevel::EndPulse()
{
    CFieldBlock* block = BlockAt(mPulseCell);
    if (block && block->mMotionTrack == mPhaseTrack)
        block->mMotionTrack = nullptr;
    if (mPhaseTrack->mAttached)
        mLinks.mProcessor->StopProcess(mPhaseTrack);
    mPulseCell = -2;
}

void CCrazyLevel::Stop()
{
    if (!mPhaseTrack)
        return;
    CGameProcessor& processor = *mLinks.mProcessor;
    CCrazyTurns& turns = *mLinks.mTurns;
    if (turns.Phase() == CCrazyTurns::kPulse)
        EndPulse();
    else if (mPhaseTrack->mAttached)
        processor.StopProcess(mPhaseTrack);
    CGameField& field = *mLinks.mField;
    bool spinning = false;
    for (int32_t cell = 0; cell < field.CellCount(); ++cell) {
        CFieldBlock* block = field.Record(cell).mBlock;
        if (!block || block->mSpinFlag != kMustSpin)
            continue;
        spinning = true;
        block->mColour = CCellGrid::ColourOf(field.Grid().Cell(cell));
        EndSpin(*block);
    }
    mBlocksToSpin = 0;
    if (spinning)
        turns.SetPhase(CCrazyTurns::kSpinDone);
    if (mSpinTrack)
        mLinks.mTracks->FreeInstance(mSpinTrack);
    mSpinTrack = nullptr;
    if (mIndicator.mMoveTrack && mIndicator.mMoveTrack->mAttached)
        processor.StopProcess(mIndicator.mMoveTrack);
}

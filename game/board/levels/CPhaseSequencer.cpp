#include "game/board/levels/CPhaseSequencer.h"

#include "framework/core/RandomNumber.h"
#include "game/board/RunnableSpeed.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelFlow.h"
#include "game/board/levels/CLevelHost.h"
#include "game/board/levels/PhaseGeometry.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

namespace {

// How far above its cell the ball slides in from and out to.
constexpr float kSlideHeight = 600.0f;
constexpr uint32_t kAllBallStates = ~0u;

} // namespace

CPhaseSequencer::CPhaseSequencer(const PhaseLinks& links)
    : mLinks(links),
      mParticles(*links.mProcessor, *links.mField, CGameConfig::gameOverEmitter, kProcessIntroOutro)
{
}

CPhaseSequencer::~CPhaseSequencer() = default;

float CPhaseSequencer::RandomSpeed(float speed, float spread)
{
    return speed + spread * (1.0f - 0.002f * float(Lumo::RandomNumber(1000)));
}

void CPhaseSequencer::CreateTracks()
{
    for (CAnimTrack*& track : mOwned)
        if (!track)
            track = mLinks.mTracks->NewIdleInstance();
    CGameProcessor& processor = *mLinks.mProcessor;
    processor.RegisterKind(kProcessIntroOutro,
                           {[this](CAnimTrack& track, int32_t slot) { OnTrackFinished(track, slot); }, nullptr});
    processor.RegisterKind(kProcessFinalOutro, {[this](CAnimTrack& track, int32_t) {
                                                    mLinks.mProcessor->StopExplosionAnim(track);
                                                    CheckEnd();
                                                },
                                                nullptr});
}

void CPhaseSequencer::ReleaseTracks()
{
    Stop();
    FieldEffects& effects = mLinks.mField->Effects();
    CBall& ball = *mLinks.mBall;
    for (CAnimTrack*& track : mOwned) {
        if (!track)
            continue;
        if (effects.mBorderMotionTrack == track)
            effects.mBorderMotionTrack = nullptr;
        if (effects.mBorderColourTrack == track)
            effects.mBorderColourTrack = nullptr;
        if (ball.CarryTrack() == track)
            ball.SetCarryTrack(nullptr);
        mLinks.mTracks->FreeInstance(track);
        track = nullptr;
    }
}

void CPhaseSequencer::Begin(int32_t sequence)
{
    Stop();
    // The border left by the last outro stands in place again.
    DetachBorder(mOwned[kBorderA]);
    DetachBorder(mOwned[kBorderB]);
    mSequence = sequence;
    mRunning = true;
    mPending = 0;
    mDiagonals = 0;
    mDiagonalsDone = 0;
}

void CPhaseSequencer::StartIntro(int32_t sequence)
{
    if (sequence < 1 || sequence > 3)
        return;
    Begin(sequence);
    const CGameConfig::Values& config = CGameConfig::live;
    float ballTimer = 0.0f;
    switch (sequence) {
    case 1:
        ballTimer = config.introVar1Balltimer;
        StartBlockAnims(false, config.introBlockspd, config.introBlockspdRng);
        RunBorder(kBorderA, config.introVar1Borderfall, false, true);
        break;
    case 2:
        ballTimer = config.introVar2Balltimer;
        StartBlockAnims(false, config.introBlockspd, config.introBlockspdRng);
        // Unseen at the fade's start until the border timer lets it run.
        RunBorder(kBorderA, config.introVar2Borderfade, true, false);
        RunOwned(mOwned[kBorderTimer], config.introVar2Bordertimer);
        break;
    default:
        ballTimer = config.introVar3Balltimer;
        PrepareDiagonals(false);
        RunBorder(kBorderA, config.introVar3Borderfall, false, true);
        break;
    }
    // The ball waits out of sight until the master timer ends.
    mLinks.mBall->SetHidden(true);
    BindBallSlide(config.ballSlideOn, true);
    RunOwned(mOwned[kMaster], ballTimer);
}

void CPhaseSequencer::StartOutro(int32_t sequence)
{
    if (sequence < 6 || sequence > 8)
        return;
    Begin(sequence);
    const CGameConfig::Values& config = CGameConfig::live;
    if (mLinks.mHost)
        mLinks.mHost->SlidePanel(false);
    switch (sequence) {
    case 6:
        StartBlockAnims(true, config.outroVar1Blockspd, config.outroVar1BlockspdRng);
        RunBorder(kBorderA, config.outroVar1Borderfade, true, true);
        RunBorder(kBorderB, config.outroVar1Borderfall, false, true);
        break;
    case 7:
        StartBlockAnims(true, config.outroVar2Blockspd, config.outroVar2BlockspdRng);
        RunBorder(kBorderA, config.outroVar2Borderfade, true, true);
        break;
    default:
        PrepareDiagonals(true);
        RunOwned(mOwned[kBorderTimer], config.outroVar3Bordertimer);
        break;
    }
    BindBallSlide(config.ballSlideOff, false);
    CBall& ball = *mLinks.mBall;
    ball.ClearState(kAllBallStates);
    ball.SetState(CBall::kCarried);
    CAnimTrack* slide = mOwned[kBallSlide];
    slide->mRunning = 1;
    mLinks.mProcessor->StartProcess(kProcessIntroOutro, slide, true);
}

void CPhaseSequencer::StartFinalOutro()
{
    Begin(kGameOver);
    if (mLinks.mHost)
        mLinks.mHost->SlidePanel(false);
    RunBorder(kBorderA, CGameConfig::live.outroVar1Borderfade, true, true);
    StartGameOver();
}

void CPhaseSequencer::RunOwned(CAnimTrack*& track, float speed)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    mLinks.mTracks->StartTimer(track, 0.0f, RunnableSpeed(speed), 1, true, &processor.Player());
    processor.StartProcess(kProcessIntroOutro, track, true);
}

void CPhaseSequencer::RunBorder(int32_t which, int32_t definition, bool colour, bool running)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CAnimTrack*& track = mOwned[size_t(which)];
    if (!StartOnce(track, definition, running))
        return;
    processor.StartProcess(kProcessIntroOutro, track, true);
    FieldEffects& effects = mLinks.mField->Effects();
    (colour ? effects.mBorderColourTrack : effects.mBorderMotionTrack) = track;
}

bool CPhaseSequencer::StartOnce(CAnimTrack*& track, int32_t definition, bool running)
{
    CAnimPlayer* player = &mLinks.mProcessor->Player();
    const bool found = mLinks.mTracks->StartTrack(track, definition, running, player);
    if (!found)
        mLinks.mTracks->StartTimer(track, 0.0f, 1.0f, 1, running, player);
    RunOnce(*track);
    return found;
}

void CPhaseSequencer::RunOnce(CAnimTrack& track)
{
    track.mTime = 0.0f;
    track.mRepeatCount = 1;
    track.mRestart = 0;
    track.mSpeed = RunnableSpeed(track.mSpeed);
}

void CPhaseSequencer::StopTrack(CAnimTrack* track)
{
    if (track && track->mAttached)
        mLinks.mProcessor->StopProcess(track);
}

void CPhaseSequencer::BindBallSlide(int32_t definition, bool in)
{
    CAnimTrack*& slide = mOwned[kBallSlide];
    StartOnce(slide, definition, false);
    CBall& ball = *mLinks.mBall;
    const std::array<float, 3> ground = ball.Position();
    const std::array<float, 3> above{ground[0], ground[1], ground[2] + kSlideHeight};
    ball.SetCarryPath(in ? above : ground, in ? ground : above);
    ball.SetCarryTrack(slide);
    mSlideEnd = in ? ground : above;
}

void CPhaseSequencer::StartRotation()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CAnimTrack*& rotation = mOwned[kRotation];
    mLinks.mTracks->StartTimer(rotation, 0.0f, CGameConfig::live.blockrotateSpd, 1, true, &processor.Player());
    rotation->mRestart = 1;
    // The blocks' frames follow the first block kind's frame curve.
    const std::vector<BlockDef>& defs = mLinks.mField->BlockDefs();
    const CAnimBase::Record* record = defs.empty() ? nullptr : mLinks.mAnims->AnimRecord(defs.front().mFallAnim1);
    rotation->mCurve = record ? record->mDefinition.mCurve : nullptr;
    processor.Player().Attach(rotation);
}

void CPhaseSequencer::GiveRotation(BlockMotion& motion)
{
    CFieldBlock& block = *motion.mBlock;
    const std::vector<BlockDef>& defs = mLinks.mField->BlockDefs();
    if (motion.mAnim || size_t(block.mColour) >= defs.size())
        return;
    const BlockDef& def = defs[size_t(block.mColour)];
    CAnimInstance* instance =
        mLinks.mAnims->CreateInstance(Lumo::RandomNumber(2) ? def.mFallAnim2 : def.mFallAnim1, nullptr);
    if (!instance)
        return;
    mLinks.mTracks->FreeInstance(instance->mTrack);
    instance->mTrack = mOwned[kRotation];
    instance->mOwnsTrack = 0;
    motion.mAnim = instance;
    block.mColourAnim = instance;
}

void CPhaseSequencer::StartBlockAnims(bool outro, float speed, float spread)
{
    CollectMotions();
    const CGameConfig::Values& config = CGameConfig::live;
    for (BlockMotion& motion : mMotions) {
        const float fall = RandomSpeed(speed, spread);
        const float fade = outro ? RandomSpeed(config.outroBlockfadeoutspd, config.outroBlockfadeoutspdRng) : 0.0f;
        StartBlockMotion(motion, outro, fall, fade);
    }
    StartRotation();
}

void CPhaseSequencer::CollectMotions()
{
    CGameField& field = *mLinks.mField;
    mMotions.clear();
    mMotions.reserve(size_t(field.CellCount()));
    mCellMotion.assign(size_t(field.CellCount()), -1);
    for (int32_t cell = 0; cell < field.CellCount(); ++cell) {
        CFieldBlock* block = field.Record(cell).mBlock;
        if (!block)
            continue;
        mCellMotion[size_t(cell)] = int32_t(mMotions.size());
        mMotions.push_back({block});
        block->mMotionTrack = nullptr;
        block->mColourAnim = nullptr;
        block->mOwnAnim = nullptr;
    }
    mPending = int32_t(mMotions.size());
    mDiagonals = 0;
}

void CPhaseSequencer::PrepareDiagonals(bool outro)
{
    CollectMotions();
    if (mMotions.empty())
        return;
    CGameField& field = *mLinks.mField;
    mDiagonals = DiagonalCount(field.Width(), field.Height());
    StartRotation();
    const CGameConfig::Values& config = CGameConfig::live;
    // Blocks still to arrive wait above the field, their fall not yet running.
    if (!outro)
        for (BlockMotion& motion : mMotions)
            StartBlockMotion(motion, false, RandomSpeed(config.introBlockspd, config.introBlockspdRng), 0.0f);
    SetDiagonal(0);
    if (mDiagonals > 1)
        RunOwned(mOwned[kRowTimer], config.introVar3Rowtimer);
}

void CPhaseSequencer::SetDiagonal(int32_t d)
{
    CGameField& field = *mLinks.mField;
    const CGameConfig::Values& config = CGameConfig::live;
    for (int32_t cell : DiagonalCells(d, field.Width(), field.Height())) {
        const int32_t index = mCellMotion[size_t(cell)];
        if (index < 0)
            continue;
        BlockMotion& motion = mMotions[size_t(index)];
        if (Intro()) {
            GiveRotation(motion);
            if (motion.mMotion)
                motion.mMotion->mRunning = 1;
        } else {
            StartBlockMotion(motion, true, 0.0f,
                             RandomSpeed(config.outroBlockfadeoutspd, config.outroBlockfadeoutspdRng));
            GiveRotation(motion);
        }
    }
    mDiagonalsDone = d + 1;
}

void CPhaseSequencer::StartBlockMotion(BlockMotion& motion, bool outro, float fallSpeed, float fadeSpeed)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CFieldBlock& block = *motion.mBlock;
    // Arriving blocks of the diagonal intro fall only once their diagonal is set.
    const bool running = outro || mDiagonals == 0;
    if (fallSpeed != 0.0f) {
        mLinks.mTracks->StartTimer(motion.mMotion, 0.0f, RunnableSpeed(fallSpeed), 1, running, &processor.Player());
        motion.mMotion->mCurve = outro ? &mFallOut : &mFallIn;
        block.mMotionTrack = motion.mMotion;
    }
    if (fadeSpeed != 0.0f) {
        mLinks.mTracks->StartTimer(motion.mFade, 0.0f, RunnableSpeed(fadeSpeed), 1, true, &processor.Player());
        motion.mFade->mCurve = &mFadeOut;
        block.mHighlightTrack = motion.mFade;
        block.mHighlightMode = 0;
    }
    if (mDiagonals == 0)
        GiveRotation(motion);
    CAnimTrack* first = motion.mMotion ? motion.mMotion : motion.mFade;
    if (!first)
        return;
    ProcessSlot& slot = processor.StartProcess(kProcessIntroOutro, first, true);
    slot.SetWord(2, &motion - mMotions.data() + 1);
    if (motion.mFade && motion.mFade != first) {
        motion.mFade->mOwnerTag = first->mOwnerTag;
        processor.Player().Attach(motion.mFade);
    }
}

void CPhaseSequencer::FinishBlockMotion(BlockMotion& motion)
{
    // The block may have gone back to the field's pool and come out again
    // since: only what is still the sequence's is taken off it.
    CFieldBlock& block = *motion.mBlock;
    if (block.mColourAnim == motion.mAnim)
        block.mColourAnim = nullptr;
    if (motion.mAnim)
        mLinks.mAnims->ReleaseInstance(motion.mAnim);
    motion.mAnim = nullptr;
    if (block.mMotionTrack == motion.mMotion)
        block.mMotionTrack = nullptr;
    if (block.mHighlightTrack == motion.mFade && motion.mFade) {
        block.mHighlightTrack = nullptr;
        block.mHighlightMode = 0;
    }
    for (CAnimTrack** track : {&motion.mMotion, &motion.mFade}) {
        if (!*track)
            continue;
        StopTrack(*track);
        mLinks.mTracks->FreeInstance(*track);
        *track = nullptr;
    }
    motion.mDone = true;
}

void CPhaseSequencer::OnTrackFinished(CAnimTrack& track, int32_t slot)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    const intptr_t motionIndex = processor.Slot(slot).Word(2);
    if (motionIndex > 0 && size_t(motionIndex) <= mMotions.size()) {
        BlockMotion& motion = mMotions[size_t(motionIndex - 1)];
        CAnimTrack* other = &track == motion.mMotion ? motion.mFade : motion.mMotion;
        // A block's way ends with the later of its fall and its fade.
        if (other && other->mRunning)
            return;
        FinishBlockMotion(motion);
        --mPending;
        CheckEnd();
        return;
    }
    CBall& ball = *mLinks.mBall;
    if (&track == mOwned[kMaster]) {
        processor.StopProcess(&track);
        CAnimTrack* slide = mOwned[kBallSlide];
        slide->mRunning = 1;
        processor.StartProcess(kProcessIntroOutro, slide, true);
        ball.ClearState(kAllBallStates);
        ball.SetState(CBall::kCarried);
        ball.SetHidden(false);
    } else if (&track == mOwned[kBallSlide]) {
        processor.StopProcess(&track);
        LandBall();
        if (Intro()) {
            const int32_t column = TruncateToInt(ball.Position()[0] / mLinks.mField->StepX());
            const int32_t row = TruncateToInt(ball.Position()[1] / mLinks.mField->StepY());
            CGameField& field = *mLinks.mField;
            if (column >= 0 && column < field.Width() && row >= 0 && row < field.Height())
                if (CFieldBlock* block = field.Record(row * field.Width() + column).mBlock)
                    processor.StartBlockBump(*block, field.SpringTrack());
        } else {
            ball.SetHidden(true);
        }
    } else if (&track == mOwned[kBorderTimer]) {
        processor.StopProcess(&track);
        if (mSequence == 2)
            mOwned[kBorderA]->mRunning = 1;
        else
            RunBorder(kBorderA, CGameConfig::live.outroVar3Borderfall, false, true);
    } else if (&track == mOwned[kBorderA] || &track == mOwned[kBorderB]) {
        processor.StopProcess(&track);
        if (Intro())
            DetachBorder(&track);
    } else if (&track == mOwned[kRowTimer]) {
        if (mDiagonalsDone < mDiagonals)
            SetDiagonal(mDiagonalsDone);
        if (mDiagonalsDone < mDiagonals)
            processor.RestartTimer(&track, 0.0f);
        else
            processor.StopProcess(&track);
    } else {
        OnGameOverTrack(track);
    }
    CheckEnd();
}

void CPhaseSequencer::CheckEnd()
{
    if (!mRunning || mPending > 0 || mOwned[kMaster]->mAttached || mOwned[kBallSlide]->mAttached)
        return;
    Stop();
    if (mLinks.mLevel)
        mLinks.mLevel->HandleState();
}

void CPhaseSequencer::Stop()
{
    if (!mRunning)
        return;
    mRunning = false;
    for (BlockMotion& motion : mMotions)
        if (!motion.mDone)
            FinishBlockMotion(motion);
    mMotions.clear();
    if (mOwned[kBallSlide]->mAttached) {
        StopTrack(mOwned[kBallSlide]);
        LandBall();
    }
    StopTrack(mOwned[kMaster]);
    if (Intro())
        mLinks.mBall->SetHidden(false);
    // A border stopped on its way in rests in place; one on its way out is gone.
    for (CAnimTrack* border : {mOwned[kBorderA], mOwned[kBorderB]}) {
        if (!border->mAttached)
            continue;
        StopTrack(border);
        if (Intro())
            DetachBorder(border);
        else
            border->mTime = CAnimPlayer::kEnd;
    }
    for (int32_t owned : {kBorderTimer, kRowTimer})
        StopTrack(mOwned[size_t(owned)]);
    CAnimTrack* rotation = mOwned[kRotation];
    mLinks.mProcessor->Player().Detach(rotation);
    rotation->mCurve = nullptr;
    ReleaseGameOver();
}

void CPhaseSequencer::DetachBorder(const CAnimTrack* track)
{
    FieldEffects& effects = mLinks.mField->Effects();
    if (effects.mBorderMotionTrack == track)
        effects.mBorderMotionTrack = nullptr;
    if (effects.mBorderColourTrack == track)
        effects.mBorderColourTrack = nullptr;
}

void CPhaseSequencer::LandBall()
{
    CBall& ball = *mLinks.mBall;
    ball.ClearState(CBall::kCarried);
    ball.SetCarryTrack(nullptr);
    ball.SetPosition(mSlideEnd[0], mSlideEnd[1], mSlideEnd[2]);
    ball.UpdateScreenPos();
    ball.SetState(CBall::kFrozen | CBall::kHeld);
}

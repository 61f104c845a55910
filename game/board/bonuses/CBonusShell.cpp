#include "game/board/bonuses/CBonusShell.h"

#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

namespace {

constexpr int32_t kShellMode = 3;
constexpr int32_t kPlayMode = 0;

} // namespace

CBonusShell::CBonusShell(CGameProcessor& processor, CGameField& field, CBonusBase& base, CTrackBase& tracks,
                         CAnimBase& anims, CFieldBonuses& bonuses)
    : mProcessor(processor), mField(field), mBase(base), mTracks(tracks), mAnims(anims), mBonuses(bonuses)
{
}

CBonusShell::~CBonusShell()
{
    mTracks.FreeInstance(mTrack);
}

void CBonusShell::Init()
{
    if (!mTrack)
        mTrack = mTracks.NewIdleInstance();
    mProcessor.RegisterKind(kProcessShell, {[this](CAnimTrack&, int32_t) { OnShellTrack(); },
                                            [this](CAnimTrack&, int32_t) { Finish(); }});
    mProcessor.RegisterKind(kProcessShellFrame,
                            {[this](CAnimTrack&, int32_t slot) { OnBlockTrack(slot); }, nullptr});
    mBonuses.SetShellHooks({[this](CFieldBlock& block) { UpdateFrame(block); }, [this] { Finish(); }});
    mBonuses.SetEffect(kBonusShell, [this](CFieldBlock*) {
        mOpened = 0;
        return Activate(kFadeToBlack);
    });
}

bool CBonusShell::Active() const
{
    return mBase.mShellActive != 0;
}

void CBonusShell::RunShellTrack(int32_t definition)
{
    if (!mTracks.StartTrack(mTrack, definition, true, &mProcessor.Player()))
        mTracks.StartTimer(mTrack, 0.0f, 0.0f, 1, true, &mProcessor.Player());
    mTrack->mTime = 0.0f;
    mTrack->mRepeatCount = 1;
}

bool CBonusShell::Activate(int32_t phase)
{
    switch (phase) {
    case kFadeToBlack:
        mPhase = kFadeToBlack;
        RunShellTrack(mBase.mShell.mFadeToBlack);
        if (!Active()) {
            mBase.mShellActive = 1;
            mOpened = 0;
            mProcessor.StartProcess(kProcessShell, mTrack, true);
            mField.ResetBlockStates(kShellMode);
        }
        return true;
    case kActing:
        mPhase = kActing;
        mTracks.StartTimer(mTrack, 0.0f, mBase.mShell.mActionSpeed, 1, true, &mProcessor.Player());
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
            if (CFieldBlock* block = mField.Record(cell).mBlock; block && block->mShellState == kClosed)
                block->mLightLevel = 255;
        return true;
    case kUnfade:
        mPhase = kUnfade;
        RunShellTrack(mBase.mShell.mUnfade);
        return true;
    default:
        return false;
    }
}

void CBonusShell::UpdateFrame(CFieldBlock& block)
{
    if (!Active() || block.mShellState != kClosed || block.mColourAnim || block.mOwnAnim)
        return;
    const std::vector<BlockDef>& defs = mField.BlockDefs();
    if (size_t(block.mColour) >= defs.size())
        return;
    const BlockDef& def = defs[size_t(block.mColour)];
    CAnimInstance* first = mAnims.CreateInstance(def.mSpinAnim1, &mProcessor.Player());
    CAnimInstance* second = mAnims.CreateInstance(def.mSpinAnim2, &mProcessor.Player());
    if (!first || !second) {
        mAnims.ReleaseInstance(first);
        mAnims.ReleaseInstance(second);
        return;
    }
    block.mShellState = kOpening;
    block.mColourAnim = first;
    block.mOwnAnim = second;
    block.mSprite = mField.ReservedSprite();
    ProcessSlot& slot = mProcessor.StartProcess(kProcessShellFrame, first->mTrack, true);
    slot.SetObject(2, &block);
    slot.SetObject(3, first);
    slot.SetObject(4, second);
    for (CAnimInstance* instance : {first, second}) {
        instance->mTrack->mTime = 0.0f;
        instance->mTrack->mRunning = 1;
        instance->mTrack->mRepeatCount = 1;
        instance->mTrack->mOwnerTag = first->mTrack->mOwnerTag;
        mProcessor.Player().Attach(instance->mTrack);
    }
}

void CBonusShell::OnShellTrack()
{
    ++mPhase;
    if (mPhase > kUnfade)
        Finish();
    else
        Activate(mPhase);
}

void CBonusShell::OnBlockTrack(int32_t slot)
{
    ProcessSlot& record = mProcessor.Slot(slot);
    CFieldBlock* block = record.Object<CFieldBlock>(2);
    CAnimInstance* first = record.Object<CAnimInstance>(3);
    CAnimInstance* second = record.Object<CAnimInstance>(4);
    if (!block)
        return;
    if (Active() && block->mColourAnim == first && block->mShellState == kOpening) {
        block->mLightLevel = 0;
        const std::vector<BlockDef>& defs = mField.BlockDefs();
        mAnims.ResetInstance(defs[size_t(block->mColour)].mSpinAnim2, first);
        first->mTrack->mTime = 0.0f;
        first->mTrack->mRunning = 1;
        first->mTrack->mRepeatCount = 1;
        first->mTrack->mOwnerTag = slot;
        mProcessor.RestartTimer(first->mTrack, 0.0f);
        if (block->mOwnAnim == second)
            block->mOwnAnim = nullptr;
        mAnims.ReleaseInstance(second);
        record.SetObject(4, static_cast<CAnimInstance*>(nullptr));
        block->mShellState = kOpen;
        return;
    }
    if (block->mShellState == kOpen)
        block->mShellState = kDone;
    for (CAnimInstance* instance : {first, second}) {
        if (!instance)
            continue;
        if (block->mColourAnim == instance)
            block->mColourAnim = nullptr;
        if (block->mOwnAnim == instance)
            block->mOwnAnim = nullptr;
        mAnims.ReleaseInstance(instance);
    }
    mProcessor.FreeSlot(slot);
    ++mOpened;
    if (mOpened >= mField.CellCount() && Active())
        Finish();
}

void CBonusShell::Finish()
{
    if (!mTrack || !mTrack->mAttached)
        return;
    mProcessor.StopProcess(mTrack);
    mBase.mShellActive = 0;
    mField.ResetBlockStates(kPlayMode);
    if (mProcessor.State() == 0)
        mBonuses.ClearBonusState();
}

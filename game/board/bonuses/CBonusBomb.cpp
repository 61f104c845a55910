#include "game/board/bonuses/CBonusBomb.h"

#include "framework/app/LumoAppBase.h"
#include "game/board/CFieldActivity.h"
#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CBonusLevel.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kBombSample = 7;
constexpr int32_t kBombPoints = 100;
// The shortest wait, for data whose start percentage or ball makes none.
constexpr float kShortestWait = 0.1f;

float Finite(float value)
{
    return std::isfinite(value) ? value : 0.0f;
}

} // namespace

CBonusBomb::CBonusBomb(const BonusEffectLinks& links)
    : mLinks(links), mParticles(*links.mProcessor, *links.mField, links.mBase->mBomb.mParticles, kProcessBomb)
{
}

CBonusBomb::~CBonusBomb() = default;

void CBonusBomb::Init()
{
    mCells.reserve(16);
    mGroups.reserve(8);
    if (!mTrack)
        mTrack = mLinks.mTracks->NewIdleInstance();
    mState = kIdle;
    mLinks.mProcessor->RegisterKind(kProcessBomb, {[this](CAnimTrack& track, int32_t) { Update(track); }, nullptr});
    mLinks.mBonuses->SetEffect(kBonusBomb, [this](CFieldBlock* block) {
        return block && Activate(block->mColumn, block->mRow);
    });
}

void CBonusBomb::Shutdown()
{
    if (mTrack)
        mLinks.mTracks->FreeInstance(mTrack);
    mTrack = nullptr;
    mParticles.Release();
}

bool CBonusBomb::Activate(int32_t column, int32_t row)
{
    if (mState != kIdle)
        return false;
    CGameField& field = *mLinks.mField;
    mLinks.mActivity->SetFieldActive(false);
    mColumn = column;
    mRow = row;
    // The 3 x 3 cells around the landing, cut to the field.
    CCellGrid& grid = field.Grid();
    grid.CollectArea(column - 1, row - 1, 3, 3);
    mCells = grid.AreaCells();
    mGroups = grid.AreaGroups();

    const CBonusBase::Bomb& bomb = mLinks.mBase->mBomb;
    mParticles.Release();
    const float wait = std::max(Finite(bomb.mStartPercent * mLinks.mBall->Times().mRise), kShortestWait);
    mLinks.mTracks->StartTimer(mTrack, 0.0f, 50.0f / wait, 1, true, &mLinks.mProcessor->Player());
    mLinks.mProcessor->StartProcess(kProcessBomb, mTrack, true);
    mState = kWaiting;
    if (mLinks.mApp)
        mLinks.mApp->PlaySoundById(kBombSample);
    return true;
}

void CBonusBomb::Update(CAnimTrack& track)
{
    CAnimInstance* explosion = mLinks.mBase->mBomb.mExplosion;
    if (&track == mTrack) {
        if (mState == kWaiting)
            StartDestruction();
        else if (mState == kDestroying)
            Destroy();
        return;
    }
    if (explosion && &track == explosion->mTrack) {
        if (!mTrack->mAttached)
            Finish();
        mLinks.mField->RemovePopupRecord(mExplosionPopup);
        mExplosionPopup = -2;
        mLinks.mProcessor->Player().Detach(explosion->mTrack);
    }
}

void CBonusBomb::StartDestruction()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    const CBonusBase::Bomb& bomb = mLinks.mBase->mBomb;
    mParticles.Show();
    if (CAnimInstance* explosion = bomb.mExplosion; explosion && explosion->mTrack) {
        const FieldPoint centre = field.CellCentre(mColumn, mRow);
        const Lumo::Rect frame = mLinks.mAnims->FirstFrameRect(bomb.mExplosionAnim);
        PopupRecord record;
        record.mType = PopupRecord::kAnimation;
        record.mAnim = explosion;
        record.mX = int32_t(centre.mX) - frame.mWidth / 2;
        record.mY = int32_t(centre.mY) - frame.mHeight / 2;
        mExplosionPopup = field.AddPopupRecord(record);
        explosion->mTrack->mOwnerTag = mTrack->mOwnerTag;
        processor.Player().Attach(explosion->mTrack);
        processor.RestartTimer(explosion->mTrack, 0.0f);
    }
    mTrack->mSpeed = bomb.mDestructionTime;
    mState = kDestroying;
    processor.RestartTimer(mTrack, Finite(mTrack->mOvershoot));
    const CGameConfig::Values& config = CGameConfig::live;
    processor.ShowPopup(0, kBombPoints, false, 0, 0, config.ctrlBombBanerFader, config.ctrlBombBaner);
    mLinks.mLevel->AddPoints(kBombPoints);
}

void CBonusBomb::Destroy()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    CBonusBase& base = *mLinks.mBase;
    const float overshoot = Finite(mTrack->mOvershoot);
    processor.Player().Detach(mTrack);
    const CAnimInstance* explosion = base.mBomb.mExplosion;
    if (!explosion || !explosion->mTrack || !explosion->mTrack->mAttached)
        Finish();

    // Particles for the blocks the area still holds, one run for each
    // block, in the look of its sprite.
    const ParticleConfig& config = base.mBomb.mParticles;
    const int32_t count = std::max(config.particleCount, 0);
    int32_t blocks = 0;
    for (const auto& [column, row] : mCells)
        blocks += field.Record(row * field.Width() + column).mBlock != nullptr;
    CParticleEmitter& emitter = mParticles.Emitter();
    emitter.Resize(blocks);
    int32_t run = 0;
    for (const auto& [column, row] : mCells) {
        const int32_t cell = row * field.Width() + column;
        CFieldBlock* block = field.Record(cell).mBlock;
        // An empty cell in the area has nothing to destroy.
        if (!block)
            continue;
        mParticles.SetUpRun(run, count, field.ColourSprite(*block));
        const FieldPoint centre = field.CellCentre(column, row);
        emitter.Emit(run, config, count, centre.mX, centre.mY, 0);
        emitter.Run(run).state = ParticleRun::kLive;
        ++run;
        field.RemoveBlock(block);
        field.Record(cell).mBlock = nullptr;
        field.Grid().EmptyCell(cell);
    }
    // The particle system lets an emitter go while it has no particle.
    emitter.Register();
    // With no particle to die, nothing would call the emitter's end.
    if (blocks * count == 0)
        mParticles.OnDone();
    for (const GroupRecord& group : mGroups) {
        const int32_t points = mLinks.mLevel->MatchPoints(group.Count());
        const int32_t first = group.mMembers.empty() ? 0 : group.mMembers.front();
        const FieldPoint centre = field.CellCentre(first % field.Width(), first / field.Width());
        processor.ShowPopup(0, points, true, int32_t(centre.mX), int32_t(centre.mY));
        mLinks.mLevel->AddPoints(points);
    }
    CBall& ball = *mLinks.mBall;
    ball.SetBounce(ball.Def().mGMatched, ball.Def().mPMatched);
    const float rise = ball.Times().mRise;
    mLinks.mActivity->SetFieldActive(true);
    processor.StepAfterBonus((2.0f - base.mBomb.mStartPercent * 0.02f) * rise - overshoot * 100.0f, 1.0f);
}

void CBonusBomb::Finish()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    processor.FreeSlot(mTrack->mOwnerTag);
    processor.Player().Detach(mTrack);
    mTrack->mOwnerTag = CGameProcessor::kNone;
    mLinks.mBonuses->ClearBonusState();
    mState = kIdle;
}

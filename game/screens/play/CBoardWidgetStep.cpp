#include "game/screens/play/CBoardWidget.h"

#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/effects/CBackground.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/screens/windows/CGUIController.h"

namespace {

// A flight sent while the field settles lands this long after the settling.
constexpr float kLandAfterSettling = 3.0f;

} // namespace

void CBoardWidget::Update()
{
    if (!AppActive())
        return;
    if (mFadeState == kFadeIn) {
        mFade += mFadeInSpeed;
        if (mFade >= 1.0f)
            mFadeState = kFadeNone;
    } else if (mFadeState == kFadeOut) {
        mFade -= mFadeOutSpeed;
        if (mFade <= 0.0f)
            mFadeState = kCovered;
    }
    if (mPlainBlackDrawn && ShowsPlainBlack())
        return;
    // Every frame drawn is scaled to the screen in full screen, so a pause
    // that may last long is drawn no oftener than the menu.
    if (ShowsStillPause() && ++mStillPauseUpdates < kStillPauseDrawEvery)
        return;
    mStillPauseUpdates = 0;
    MarkDirty();
}

bool CBoardWidget::ShowsPlainBlack() const
{
    return mFadeState == kCovered && mServices.mGui->mOwner != this && !mDebugOverlay;
}

bool CBoardWidget::ShowsStillPause() const
{
    const CGUIController& gui = *mServices.mGui;
    return GamePaused() && mFadeState == kFadeNone && !mOverlayOn && gui.mOwner == this && !gui.Animating();
}

void CBoardWidget::UpdateFraction(float dt)
{
    if (!AppActive())
        return;
    const float t = dt * mServices.mField->Speed();
    mServices.mGui->UpdateTracks(t);
    AdvanceAnimations(t);
    if (mBackgroundOn)
        mServices.mBackground->Update(t);

    if (!GamePaused() && mFieldShown) {
        CBall& ball = *mServices.mBall;
        const bool wasFlying = ball.Has(CBall::kFlying);
        bool catchUp = false;
        // A click held while the ball was still in the air waits for its landing.
        if (mClickPending && !wasFlying && CanSendBall(&catchUp)) {
            SendBall(mPendingColumn, mPendingRow, catchUp);
            mClickPending = false;
        }
        ball.Update(t);
        mServices.mParticles->UpdateEmitters(t);
        mServices.mProcessor->DispatchFinished(t);
        if (ball.Has(CBall::kLanded))
            RunLanding(wasFlying);
        mServices.mField->StepShownBlocks();
    }
    if (mServices.mLevel->Changed())
        mServices.mLevel->CheckLevelEnd();
}

void CBoardWidget::AdvanceAnimations(float dt)
{
    CAnimPlayer& player = mServices.mAnims->mPlayer;
    player.Update(dt);
    for (CAnimTrack* track : player.mFinished) {
        if (track != nullptr)
            track->mFinishedIndex = CAnimTrack::kNone;
    }
    player.mFinished.clear();
}

void CBoardWidget::RunLanding(bool wasFlying)
{
    CGameField& field = *mServices.mField;
    CBall& ball = *mServices.mBall;
    CFieldBlock* block = field.Record(mTargetRow * field.Width() + mTargetColumn).mBlock;
    if (wasFlying) {
        field.SetExcludedCell(mTargetColumn, mTargetRow);
        mBallSetDown = false;
        // What this landing takes and what rises under the ball after it is
        // one click of the player's, for the undo to take back whole.
        if (CCellRuns* runs = CCellRuns::Current())
            runs->BeginMove();
    }
    // Where the game set the ball down, as the undo does, its bounces taking a
    // group or firing a bonus would make a move the player never made.
    const bool plays = mFieldActive && !mBallSetDown;
    bool bonusFired = false;
    // The cell may have been emptied by a field step while the ball was in the air.
    if (plays && mBonuses != nullptr && block != nullptr && block->mBonus != nullptr &&
        CFieldBonuses::IsArmed(*block->mBonus)) {
        mBonuses->ActivateBonus(block->mBonus);
        bonusFired = true;
    }
    int32_t taken = 0;
    if (plays)
        mServices.mLevel->OnBallLanded(wasFlying, bonusFired, &taken);
    mServices.mProcessor->OnBallLanded(block, taken > 0);
    if (ball.Has(CBall::kResting)) {
        ball.ClearState(CBall::kResting);
        ball.SetState(CBall::kBouncing | CBall::kRising);
    }
    ball.ClearState(CBall::kLanded);
}

float CBoardWidget::RemainingBusyTime() const { return mServices.mProcessor->SettleTimer(); }

bool CBoardWidget::CanSendBall(bool* catchUp) const
{
    const CBall& ball = *mServices.mBall;
    if (ball.Has(CBall::kHeld))
        return false;
    if (mServices.mProcessor->PendingBlockMoves() == 0) {
        *catchUp = false;
        return true;
    }
    const float r = RemainingBusyTime();
    *catchUp = r - ball.Times().mFlight > -kLandAfterSettling;
    return r - ball.Times().mSlowestFlight < -kLandAfterSettling;
}

void CBoardWidget::SendBall(int32_t column, int32_t row, bool catchUp)
{
    CBall& ball = *mServices.mBall;
    if (ball.Has(CBall::kHeld))
        return;
    const float speed = catchUp ? 1.0f / (RemainingBusyTime() + kLandAfterSettling) : ball.Def().mCurveSpeed;
    ball.FlyTo(column, row, speed, catchUp);
    mTargetColumn = column;
    mTargetRow = row;
}

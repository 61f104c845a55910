#include "game/board/play/CGameProcessor.h"

#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CBoardHost.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

#include <algorithm>

namespace {

constexpr int32_t kUndoHighlight = 3;

void SetFade(CCurve& curve, float from, float to)
{
    curve.mChannels = 4;
    curve.mValues = {1.0f, 1.0f, 1.0f, from, 1.0f, 1.0f, 1.0f, to};
}

} // namespace

bool CGameProcessor::StartUndo()
{
    CCellRuns* runs = CCellRuns::Current();
    // A ball in the air would land on its old target once the undo has put it on the first cell.
    if (!runs || runs->Runs().empty() || mState != 0 || mLinks.mBall->Has(CBall::kFlying))
        return false;
    const CGameConfig::Values& config = CGameConfig::live;
    CTrackBase& tracks = *mLinks.mTracks;
    tracks.StartTimer(mUndoTimer, 0.0f, config.undoSpeed, 1, true, &mPlayer);
    mLinks.mBall->SetState(CBall::kFrozen | CBall::kHeld);
    tracks.StartTimer(mBallFadeTimer, 0.0f, config.undoBallfadeSpeed, 1, true, &mPlayer);
    SetFade(mBallFadeCurve, 1.0f, 0.0f);
    mBallFadeTimer->mCurve = &mBallFadeCurve;
    if (!mBallFadeTimer->mAttached)
        StartProcess(kProcessUndo, mBallFadeTimer, true);
    else
        RestartTimer(mBallFadeTimer, 0.0f);
    mLinks.mBall->SetColourTrack(mBallFadeTimer);
    if (mPendingBlockMoves != 0) {
        mUndoRequest = true;
        return true;
    }
    mUndoTimer->mCurve = &mUndoCurve;
    if (!mUndoTimer->mAttached)
        StartProcess(kProcessUndo, mUndoTimer, true);
    RecolourLastMove(*runs);
    return true;
}

void CGameProcessor::DropUndo()
{
    // The level ended or was left while the blocks moved. The ball fade kept
    // would hold the processor from ever settling, and the panel's button busy.
    for (CAnimTrack** owned : {&mUndoTimer, &mBallFadeTimer}) {
        if (!*owned)
            continue;
        StopProcess(*owned);
        mLinks.mTracks->FreeInstance(*owned);
        *owned = nullptr;
    }
    mLinks.mBall->SetColourTrack(nullptr);
    if (mLinks.mHost)
        mLinks.mHost->UndoFinished();
}

void CGameProcessor::RecolourLastMove(const CCellRuns& runs)
{
    CGameField& field = *mLinks.mField;
    const CCellGrid& grid = field.Grid();
    // A move's steps are walked back on the cell words, its last step first;
    // only then do the blocks learn which colours changed, so that a cell a
    // later step had changed and an earlier one changes back stays unmarked.
    for (size_t run = runs.Runs().size(); run-- > runs.LastMove();)
        RestoreRunColours(runs, run);
    const std::vector<BlockDef>& defs = field.BlockDefs();
    for (int32_t cell = 0; cell < field.CellCount(); ++cell) {
        CFieldBlock* block = field.Record(cell).mBlock;
        const int32_t colour = CCellGrid::ColourOf(grid.Cell(cell));
        if (!block || block->mColour == colour)
            continue;
        block->mHighlightTrack = mUndoTimer;
        block->mHighlightMode = kUndoHighlight;
        block->mColour = colour;
        if (colour >= 0 && size_t(colour) < defs.size())
            block->mSprite = defs[size_t(colour)].mSprite;
    }
}

void CGameProcessor::RestoreRunColours(const CCellRuns& runs, size_t index)
{
    const CCellRuns::Run& run = runs.Runs()[index];
    CCellGrid& grid = mLinks.mField->Grid();
    const std::vector<CCellRuns::Pair>& pairs = runs.Pairs();
    const int32_t w = grid.Width();
    const int32_t h = grid.Height();
    const int32_t d = run.mDirection;
    const int32_t step = d == 0 ? -w : d == 1 ? -1 : d == 2 ? w : 1;
    size_t at = size_t(run.mFirstPair);
    for (int32_t header = 0; header < run.mHeaders && at < pairs.size(); ++header) {
        const int32_t n = int32_t(pairs[at].first);
        const int32_t line = int32_t(pairs[at].second);
        const size_t entries = at + 1;
        at = entries + size_t(n);
        if (at > pairs.size())
            break;
        const auto column = [&](int32_t k) { return int32_t(pairs[entries + size_t(k)].first & 0xFFFF); };
        const auto row = [&](int32_t k) { return int32_t(pairs[entries + size_t(k)].first >> 16); };
        int32_t start = 0;
        int32_t length = 0;
        for (int32_t k = 0; k < n; ++k) {
            switch (d) {
            case 0:
                length = std::max(length, h - row(k));
                break;
            case 1:
                length = std::max(length, w - column(k));
                break;
            case 2:
                length = std::max(length, row(k) + 1);
                break;
            default:
                length = std::max(length, column(k) + 1);
                break;
            }
        }
        start = d == 0 ? (h - 1) * w + line : d == 1 ? line * w + w - 1 : d == 2 ? line : line * w;
        int32_t read = start + n * step;
        int32_t k = 0;
        for (int32_t j = 0, cell = start; j < length; ++j, cell += step) {
            int32_t colour = 0;
            const int32_t entry = step > 0 ? k : n - 1 - k;
            if (k < n && cell == row(entry) * w + column(entry)) {
                colour = int32_t(pairs[entries + size_t(entry)].second & 0xFFFF);
                ++k;
            } else {
                colour = CCellGrid::ColourOf(grid.Cell(read));
                read += step;
            }
            if (CCellGrid::ColourOf(grid.Cell(cell)) != colour)
                grid.Cell(cell) = CCellGrid::WithColour(grid.Cell(cell), colour) | CCellGrid::kOccupied;
        }
    }
}

void CGameProcessor::FinishUndo(CAnimTrack& track)
{
    CGameField& field = *mLinks.mField;
    if (&track == mUndoTimer) {
        for (int32_t cell = 0; cell < field.CellCount(); ++cell)
            if (CFieldBlock* block = field.Record(cell).mBlock; block && block->mHighlightTrack == mUndoTimer) {
                block->mHighlightTrack = nullptr;
                block->mHighlightMode = 0;
            }
        StopProcess(mUndoTimer);
        mLinks.mTracks->FreeInstance(mUndoTimer);
        mUndoTimer = nullptr;
        field.Grid().Rebuild();
        field.Grid().CountColours();
        // The bar follows the field back, as it followed the step.
        ShowFieldCompletion();
        if (CCellRuns* runs = CCellRuns::Current())
            runs->PopMove();
        if (mLinks.mHost)
            mLinks.mHost->UndoFinished();
        CBall& ball = *mLinks.mBall;
        ball.ClearState(CBall::kFrozen | CBall::kHeld);
        field.SetExcludedCell(0, 0);
        ball.PlaceOnCell(0, 0);
        ball.RestoreBounce();
        ball.LogTiming();
        ball.SetState(CBall::kBouncing | CBall::kRising);
        SetFade(mBallFadeCurve, 0.0f, 1.0f);
        if (mBallFadeTimer)
            RestartTimer(mBallFadeTimer, 0.0f);
        if (mLinks.mHost) {
            mLinks.mHost->CenterOnField();
            mLinks.mHost->BallSetDown();
        }
    } else if (!mUndoTimer && &track == mBallFadeTimer) {
        StopProcess(mBallFadeTimer);
        mLinks.mTracks->FreeInstance(mBallFadeTimer);
        mBallFadeTimer = nullptr;
        mLinks.mBall->SetColourTrack(nullptr);
    }
}

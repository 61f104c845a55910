#include "game/board/play/CGameProcessor.h"

#include "game/board/levels/CLevelFlow.h"
#include "game/board/play/CBoardHost.h"
#include "game/data/animation/CAnimTrack.h"

namespace {

enum PieceDisplay : int32_t { kPieceSteady = 0, kPieceHiding = 1, kPieceShowing = 2 };

} // namespace

CAnimTrack* CGameProcessor::PanelPieceTrack(bool show) const
{
    return mLinks.mHost ? mLinks.mHost->PanelPieceTrack(show) : nullptr;
}

bool CGameProcessor::StartPanelPieceFade(int32_t kind, bool show, int32_t display)
{
    CAnimTrack* track = PanelPieceTrack(show);
    if (!track)
        return false;
    track->mTime = 0.0f;
    track->mRunning = 1;
    track->mRepeatCount = 1;
    StartProcess(kind, track, true);
    mLinks.mHost->SetPanelPieceDisplay(display);
    return true;
}

void CGameProcessor::ShowPanelPiece()
{
    for (const bool show : {false, true}) {
        CAnimTrack* track = PanelPieceTrack(show);
        if (track && track->mAttached && track->mPlayer == &mPlayer)
            StopProcess(track);
    }
    // Without the panel's fade the piece still changes, at once.
    if (!StartPanelPieceFade(kProcessShowPanelPiece, false, kPieceHiding))
        ChangePanelPiece();
}

void CGameProcessor::ChangePanelPiece()
{
    if (mLinks.mLevel)
        mLinks.mLevel->PickSuperbonusPiece();
    HidePanelPiece();
}

void CGameProcessor::HidePanelPiece()
{
    if (!StartPanelPieceFade(kProcessHidePanelPiece, true, kPieceShowing) && mLinks.mHost)
        mLinks.mHost->SetPanelPieceDisplay(kPieceSteady);
}

void CGameProcessor::StopPanelPiece(CAnimTrack& track)
{
    StopProcess(&track);
    if (mLinks.mHost)
        mLinks.mHost->SetPanelPieceDisplay(kPieceSteady);
}

void CGameProcessor::RegisterPanelPieceKinds()
{
    const auto stop = [this](CAnimTrack& track, int32_t) { StopPanelPiece(track); };
    RegisterKind(kProcessHidePanelPiece, {stop, stop});
    RegisterKind(kProcessShowPanelPiece, {[this](CAnimTrack& track, int32_t) {
                                              StopProcess(&track);
                                              ChangePanelPiece();
                                          },
                                          stop});
}

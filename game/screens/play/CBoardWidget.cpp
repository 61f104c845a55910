#include "game/screens/play/CBoardWidget.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/CGameFlowHost.h"

namespace {

// Instance counts are a debugging aid: a flag the log file does not take.
constexpr int32_t kDebugLog = 4;

} // namespace

CBoardWidget::CBoardWidget(const CBoardServices& services) : mServices(services)
{
    mTakesFocus = true;
    mOverlayCurve.mValues.reserve(2);
    mFrameWatch.Start();
    mServices.mProcessor->Links().mHost = this;
}

bool CBoardWidget::AppActive() const { return mServices.mApp->mActive; }

bool CBoardWidget::GamePaused() const { return mServices.mFlow->GamePaused(); }

void CBoardWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    mDrawOriginX = width / 2;
    mDrawOriginY = height / 2;
}

void CBoardWidget::FadeOutUnlessCovered()
{
    if (mFadeState != kCovered)
        mFadeState = kFadeOut;
}

void CBoardWidget::FadeInField()
{
    mFadeState = kFadeIn;
    mFieldShown = true;
}

void CBoardWidget::PutToRest()
{
    mCellHit = false;
    mInputLock = true;
    mFieldActive = false;
    mClickPending = false;
}

void CBoardWidget::ResumePlay()
{
    mInputLock = false;
    mFieldActive = true;
}

bool CBoardWidget::PointerCell(int32_t* column, int32_t* row) const
{
    *column = mHoverColumn;
    *row = mHoverRow;
    return mCellHit;
}

void CBoardWidget::CenterOnField()
{
    // The field's own origin places it; the ball is only aimed at its last cell again.
    mTargetColumn = mServices.mField->ExcludedColumn();
    mTargetRow = mServices.mField->ExcludedRow();
}

void CBoardWidget::LogInstanceStats(const char* label)
{
    const CCurveBase& curves = *mServices.mCurves;
    Lumo::AppLog::GetInstance()->Printf(
        kDebugLog, "%s\t\tctInstances=%d - %d c[%d %d %d %d], anims=%d", label,
        int(mServices.mTracks->Running().Used()), int(mServices.mTracks->Running().Size()),
        int(curves.CurveCount(1)), int(curves.CurveCount(2)), int(curves.CurveCount(3)), int(curves.CurveCount(4)),
        int(mServices.mAnims->Instances().Used()));
}

void CBoardWidget::SetCompletion(int32_t percent) { mServices.mPanel->SetCompletion(percent); }

void CBoardWidget::SetHazardTrack(int32_t hazard, CAnimTrack* track) { mServices.mPanel->SetHazardTrack(hazard, track); }

void CBoardWidget::UndoFinished() { mServices.mPanel->HitTestUndo(); }

CAnimTrack* CBoardWidget::PanelPieceTrack(bool show) const
{
    return show ? mServices.mPanel->PieceShowTrack() : mServices.mPanel->PieceHideTrack();
}

void CBoardWidget::SetPanelPieceDisplay(int32_t display) { mServices.mPanel->SetPieceDisplay(display); }

std::string CBoardWidget::ComboName(int32_t index) const
{
    const auto& names = mServices.mGui->mComboNames;
    return index >= 0 && size_t(index) < names.size() ? names[size_t(index)] : std::string();
}

void CBoardWidget::PlayOverlayAnim(float speed, float from, float to)
{
    CTrackBase& tracks = *mServices.mTracks;
    CGUIController& gui = *mServices.mGui;
    mOverlayCurve.mValues.assign({from, to});
    if (mOverlayTrack != nullptr && mOverlayTrack->mAttached) {
        mOverlayTrack->mSpeed = speed;
        gui.RestartTrack(mOverlayTrack, 0.0f);
        return;
    }
    tracks.StartTimer(mOverlayTrack, 0.0f, speed, 1, true, &gui.Player());
    mOverlayTrack->mCurve = &mOverlayCurve;
    gui.StartTrack(mOverlayTrack, kOverlayAction, 0, 0);
}

void CBoardWidget::StopOverlayAnim()
{
    if (mOverlayTrack != nullptr) {
        CGUIController& gui = *mServices.mGui;
        if (gui.TrackEntry(mOverlayTrack) != nullptr)
            gui.StopTrack(mOverlayTrack);
        mServices.mTracks->FreeInstance(mOverlayTrack);
        mOverlayTrack = nullptr;
    }
    mOverlayOn = false;
}

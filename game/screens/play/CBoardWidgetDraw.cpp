#include "game/screens/play/CBoardWidget.h"

#include "framework/graphics/Graphics.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/effects/CBackground.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kMeasureAfterMs = 1000.0;

int32_t Alpha(float value) { return std::clamp(TruncateToInt(value * 255.0f), 0, 255); }

void DrawLine(Lumo::Graphics& g, int32_t y, const char* format, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    g.DrawText(text, 10, y);
}

} // namespace

void CBoardWidget::FillBlack(Lumo::Graphics& g, int32_t alpha)
{
    g.SetColor(Lumo::Color(0, 0, 0, alpha));
    g.SetTintImages(true);
    g.FillRect(0, 0, mWidth, mHeight);
    g.SetTintImages(false);
}

void CBoardWidget::Draw(Lumo::Graphics& g)
{
    if (!AppActive())
        return;
    ++mFramesCounted;
    const double elapsed = mFrameWatch.Elapsed();
    if (elapsed > kMeasureAfterMs) {
        mFramesPerSecond = int32_t(double(mFramesCounted) * 1000.0 / elapsed);
        mFramesCounted = 0;
        mFrameWatch.Start();
    }

    if (mFadeState != kCovered) {
        g.SetColor(Lumo::Color::Black);
        if (mBackgroundOn)
            mServices.mBackground->Draw(g);
        else
            g.FillRect(0, 0, mWidth, mHeight);
        if (mOverlayOn && mOverlayTrack != nullptr)
            FillBlack(g, Alpha(SampleCurve1D(&mOverlayCurve, mOverlayTrack->mTime)));
        if (mFieldShown) {
            mServices.mField->Draw(g, mDrawOriginX, mDrawOriginY);
            // The ball places itself by the field's origin, like the field.
            mServices.mBall->Draw(g, mDrawOriginX, mDrawOriginY);
        }
        // The panel lays itself out from the window's top-left corner, as it
        // takes the pointer in window coordinates.
        mServices.mPanel->Draw(g, 0, 0);
    }

    if (mFadeState == kCovered) {
        g.SetColor(Lumo::Color::Black);
        g.FillRect(0, 0, mWidth, mHeight);
    } else if (mFadeState != kFadeNone) {
        FillBlack(g, Alpha(1.0f - mFade));
    }

    if (mServices.mGui->mOwner == this)
        mServices.mGui->DrawWindow(g);
    if (mDebugOverlay)
        DrawDebugOverlay(g);
    mPlainBlackDrawn = ShowsPlainBlack();
}

void CBoardWidget::DrawDebugOverlay(Lumo::Graphics& g)
{
    g.SetFont(CGameConfig::FontAt(CGameConfig::kService));
    g.SetColor(Lumo::Color(255, 255, 255));
    DrawLine(g, 32, "FPS: %d", mFramesPerSecond);
    DrawLine(g, 150, "Mouse: X=%d, Y=%d", mPointerX, mPointerY);
    DrawLine(g, 168, "Renderer: %s", mServices.mField->StatusLine().c_str());
    DrawLine(g, 186, "Field: X=%d, Y=%d", mFieldPointX, mFieldPointY);
    if (mCellHit)
        DrawLine(g, 204, "Cell: X=%d, Y=%d", mHoverColumn, mHoverRow);
    const CLevelController& level = *mServices.mLevel;
    DrawLine(g, 224, "Turns: %d ( %d total ) [ checkpoint %d ]", level.CheckpointTurns(), level.Progress(),
             level.CurrentCheckpoint());
}

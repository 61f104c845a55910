#include "game/screens/play/CGamePanel.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/ColourTrack.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/pictures/CSceneObj.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kFullTurn = 6.28316;
constexpr int32_t kAdditive = 1;

int32_t Percent(int32_t value) { return std::clamp(value, 0, 100); }

// What is drawn between these two is added on in the track's colour.
void BeginGlow(Lumo::Graphics& g, const CAnimTrack& track)
{
    g.SetDrawMode(kAdditive);
    g.SetColor(ColourTrackToColour(track));
}

void EndGlow(Lumo::Graphics& g)
{
    g.SetDrawMode(0);
    g.SetColor(Lumo::Color(255, 255, 255, 255));
}

} // namespace

Lumo::Rect CGamePanel::LabelRect(int32_t label) const
{
    int32_t x = 0;
    for (int32_t i = 0; i < label; ++i)
        x += mLabelWidths[size_t(i)];
    return Lumo::Rect{x, 0, mLabelWidths[size_t(label)], mCanvasHeight};
}

void CGamePanel::WriteLabel(int32_t label, int32_t value)
{
    if (!mCanvasGraphics)
        return;
    const Lumo::Rect rect = LabelRect(label);
    Lumo::Graphics& g = *mCanvasGraphics;
    g.ClearRectArea(rect);
    Lumo::Font* font = CGameConfig::FontAt(CGameConfig::kHudScore);
    if (font == nullptr)
        return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    g.SetFont(font);
    g.SetColor(Lumo::Color(255, 255, 255, 255));
    const int32_t baseline = (rect.mHeight - font->GetHeight()) / 2 + font->GetAscent();
    g.DrawText(text, rect.mX + (rect.mWidth - g.TextWidth(text)) / 2, baseline);
}

void CGamePanel::SetPointsLabel(int32_t value)
{
    WriteLabel(kPointsLabel, value);
    mPointsValue = value;
}

void CGamePanel::SetLevelLabel(int32_t value)
{
    WriteLabel(kLevelLabel, value);
    mLevelValue = value;
}

void CGamePanel::SetPhaseLabel(int32_t value)
{
    WriteLabel(kPhaseLabel, value);
    mPhaseValue = value;
}

Lumo::Rect CGamePanel::PartRect(const Part& part) const
{
    if (part.mRect.mWidth > 0 || part.mRect.mHeight > 0)
        return part.mRect;
    return mServices.mImages->SourceRect(part.mSlot);
}

// The part at its place on the panel, cut to percent of its width.
void CGamePanel::DrawPart(Lumo::Graphics& g, const Part& part, int32_t x, int32_t y, int32_t percent)
{
    const CImageSlot* slot = mServices.mImages->Slot(part.mSlot);
    if (slot == nullptr || slot->mImage == nullptr)
        return;
    Lumo::Rect rect = PartRect(part);
    rect.mWidth = rect.mWidth * percent / 100;
    if (rect.mWidth > 0)
        g.DrawImageSrcRect(slot->mImage, x + rect.mX, y + rect.mY, rect);
}

void CGamePanel::DrawHazard(Lumo::Graphics& g, const Part& bar, int32_t x, int32_t y, int32_t percent,
                            const CAnimTrack* hazard)
{
    if (hazard == nullptr)
        return;
    BeginGlow(g, *hazard);
    DrawPart(g, bar, x, y, percent);
    EndGlow(g);
}

void CGamePanel::DrawLabel(Lumo::Graphics& g, int32_t label, const Point& at, int32_t x, int32_t y)
{
    if (mCanvas)
        g.DrawImageSrcRect(mCanvas.get(), x + at.mX, y + at.mY, LabelRect(label));
}

void CGamePanel::DrawMiddle(Lumo::Graphics& g, int32_t x, int32_t y)
{
    if (mUndoShown) {
        const Lumo::Rect rect = UndoRect();
        const int32_t image = mUndoImages[size_t(mUndoState)];
        const CImageSlot* slot = mServices.mImages->Slot(image);
        if (slot != nullptr && slot->mImage != nullptr)
            g.DrawImageSrcRect(slot->mImage, x + rect.mX, y + rect.mY, mServices.mImages->SourceRect(image));
        return;
    }
    Lumo::MemoryImage* piece = mServices.mPieces != nullptr ? mServices.mPieces->Image() : nullptr;
    if (!mPieceOn || piece == nullptr)
        return;
    const CAnimTrack* tint = mPieceDisplay == kPieceShowing ? mPieceShow
                             : mPieceDisplay == kPieceHiding ? mPieceHide
                                                             : nullptr;
    if (tint != nullptr)
        g.SetColor(ColourTrackToColour(*tint));
    const int32_t halfWidth = piece->GetWidth() / 2;
    const int32_t halfHeight = piece->GetHeight() / 2;
    g.DrawImageRotatedAt(piece, x + mActive.mPiece.mX - halfWidth, y + mActive.mPiece.mY - halfHeight,
                         -(double(mTurn->mTime) * kFullTurn), halfWidth, halfHeight);
    g.SetColor(Lumo::Color(255, 255, 255, 255));
}

void CGamePanel::DrawButton(Lumo::Graphics& g, int32_t button, const Part& part, int32_t x, int32_t y)
{
    g.SetColor(mButtonColour);
    DrawPart(g, part, x, y, 100);
    // The highlight: the button once more on top, as far as its fade has come.
    const int32_t alpha = std::clamp(TruncateToInt(Highlight(button) * 255.0f), 0, 255);
    if (alpha > 0) {
        g.SetDrawMode(kAdditive);
        g.SetColor(Lumo::Color(mButtonColour.mRed, mButtonColour.mGreen, mButtonColour.mBlue, alpha));
        DrawPart(g, part, x, y, 100);
        g.SetDrawMode(0);
    }
    g.SetColor(Lumo::Color(255, 255, 255, 255));
}

// The crazy indicator's frame (or its still picture) centred on the centre-area
// point, then once more additively in the colour of its colour track.
void CGamePanel::DrawCentreArea(Lumo::Graphics& g, int32_t x, int32_t y)
{
    if (mCrazyIndicator == nullptr || !mCrazyShown)
        return;
    const CSceneObj& indicator = *mCrazyIndicator;
    const int32_t frame = indicator.mFrameAnim != nullptr && mServices.mAnims != nullptr
                              ? mServices.mAnims->GetFrameImage(*indicator.mFrameAnim)
                              : indicator.mSlot;
    const CImageSlot* slot = mServices.mImages->Slot(frame);
    if (slot == nullptr || slot->mImage == nullptr)
        return;
    const Lumo::Rect rect = mServices.mImages->SourceRect(frame);
    const int32_t left = x + mActive.mCentreArea.mX - rect.mWidth / 2;
    const int32_t top = y + mActive.mCentreArea.mY - rect.mHeight / 2;
    g.DrawImageSrcRect(slot->mImage, left, top, rect);
    if (indicator.mColorTrack == nullptr)
        return;
    BeginGlow(g, *indicator.mColorTrack);
    g.DrawImageSrcRect(slot->mImage, left, top, rect);
    EndGlow(g);
}

void CGamePanel::Draw(Lumo::Graphics& g, int32_t x, int32_t y)
{
    if (mSlideState == kHidden)
        return;
    y += mVOffset;
    if (mSlideState == kSlidingIn || mSlideState == kSlidingOut) {
        int32_t dx = 0;
        int32_t dy = 0;
        SampleCurve2DInt(*mSlide, &dx, &dy);
        x += dx;
        y += dy;
    }
    g.PushState();
    g.SetTintImages(true);
    g.SetDrawMode(0);
    g.SetColor(Lumo::Color(255, 255, 255, 255));
    DrawPart(g, mActive.mBody, x, y, 100);
    DrawLabel(g, kPointsLabel, mActive.mPoints, x, y);
    const int32_t energy = Percent(ShownEnergy());
    DrawPart(g, mActive.mEnergyBar, x, y, energy);
    DrawHazard(g, mActive.mEnergyBar, x, y, energy, mHazards[kHazardEnergy]);
    DrawMiddle(g, x, y);
    DrawButton(g, kMenuButton, mActive.mMenu, x, y);
    DrawButton(g, kPauseButton, mActive.mPause, x, y);
    if (mLayoutMode == kBasic) {
        DrawLabel(g, kLevelLabel, mActive.mLevel, x, y);
        DrawLabel(g, kPhaseLabel, mActive.mPhase, x, y);
        const int32_t completion = Percent(mCrazyPercent >= 0 ? mCrazyPercent : mCompletion);
        DrawPart(g, mActive.mCompletionBar, x, y, completion);
        DrawHazard(g, mActive.mCompletionBar, x, y, completion, mHazards[kHazardTime]);
    }
    // Both games' crazy levels show the colour they ask for.
    DrawCentreArea(g, x, y);
    g.PopState();
}

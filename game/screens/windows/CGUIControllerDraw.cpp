#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/CSlotPanel.h"
#include "game/screens/windows/GUIDrawSlot.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kCenterX = 400;
constexpr double kWheelStep = 0.1571;
constexpr int32_t kWheelSteps = 40;

void Log(const char* text)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text);
}

int32_t ClampAlpha(float alpha)
{
    return std::clamp(TruncateToInt(alpha), 0, 255);
}

} // namespace

void CGUIController::CreateImages()
{
    Lumo::Image* wheel = mHost->LoadingWheel();
    mWheelHalfWidth = wheel != nullptr ? wheel->mWidth / 2 : 0;
    mWheelHalfHeight = wheel != nullptr ? wheel->mHeight / 2 : 0;
    sInstance = this;
    if (mZoomImage == nullptr && mZoomWidth > 0 && mZoomHeight > 0) {
        mZoomImage = std::make_unique<Lumo::MemoryImage>();
        mZoomImage->SetSize(mZoomWidth, mZoomHeight);
        mZoomGraphics = std::make_unique<Lumo::Graphics>(mZoomImage.get());
    }
    CTrackBase& tracks = mHost->Tracks();
    if (mWindowTrack == nullptr)
        mWindowTrack = tracks.NewIdleInstance();
    if (mFadeTrack == nullptr)
        mFadeTrack = tracks.NewIdleInstance();
    mPieceX[0] = 0;
    mPieceX[1] = mLeftBorderWidth;
    mPieceX[2] = mPieceX[1] + mLeftShadowWidth;
    mPieceX[3] = mPieceX[2] + mMiddleWidth;
    mPieceX[4] = mPieceX[3] + mRightShadowWidth;
    Lumo::Rect header;
    mHeaderHalfWidth = mHost->SlotImage(mHeaderImage, &header) != nullptr ? header.mWidth / 2 : 0;
    mZoomCurve.mChannels = 2;
    mZoomCurve.mValues = {1.0f, 1.0f, mMaxZoom, 0.7f, 1.0f, 1.0f};
    for (GUILabel& label : mLabels) {
        if (!label.IsGroup() && !label.Has(GUILabel::kImage) && !label.mText.empty())
            label.mHalfWidthOrGroup = TextHalfWidth(label.mFontOrImage, label.mText);
    }
    CreateMiddleTiles();
}

void CGUIController::CreateMiddleTiles()
{
    for (int32_t tile : mTiles)
        mHost->FreeRuntimeImage(tile);
    mTiles.clear();
    mTileWidth = 0;
    if (mMiddleWidth <= 0 || mMiddleWidth > kTileMaxWidth) {
        Log("ERROR CGUIController - middle_width must be 1 to 64");
        return;
    }
    Lumo::Rect frameRect;
    Lumo::MemoryImage* frame = mHost->SlotImage(mFrameImage, &frameRect);
    const uint32_t* framePixels = frame != nullptr ? frame->GetPixelBits() : nullptr;
    if (framePixels == nullptr) {
        Log("ERROR CGUIController - no window frame image");
        return;
    }
    const int32_t columnWidth = (kTileMaxWidth / mMiddleWidth) * mMiddleWidth;
    for (int32_t row = 0; row < kTileRows; ++row) {
        int32_t slot = -2;
        Lumo::Rect tileRect;
        Lumo::MemoryImage* tile = nullptr;
        if (mHost->NewRuntimeImage(columnWidth, kTileHeight, &slot))
            tile = mHost->SlotImage(slot, &tileRect);
        uint32_t* tilePixels = tile != nullptr ? tile->GetPixelBits() : nullptr;
        if (tilePixels == nullptr) {
            Log("CGUIController: Error creating image");
            return;
        }
        for (int32_t y = 0; y < kTileHeight; ++y) {
            const int32_t sy = frameRect.mY + row * kTileHeight + y;
            uint32_t* out = tilePixels + size_t(tileRect.mY + y) * size_t(tile->mWidth) + size_t(tileRect.mX);
            for (int32_t x = 0; x < columnWidth; ++x) {
                const int32_t sx = frameRect.mX + mPieceX[2] + x % mMiddleWidth;
                const bool inside = sy < frameRect.mY + frameRect.mHeight && sy < frame->mHeight &&
                                    sx < frame->mWidth;
                out[x] = inside ? framePixels[size_t(sy) * size_t(frame->mWidth) + size_t(sx)] : 0;
            }
        }
        tile->MarkBitsChanged();
        mTiles.push_back(slot);
    }
    mTileWidth = columnWidth;
}

int32_t CGUIController::CurrentAlpha() const
{
    const float t = mWindowTrack != nullptr ? mWindowTrack->mTime : 0.0f;
    return ClampAlpha(mAlphaEnd * t + mAlphaStart * (1.0f - t));
}

int32_t CGUIController::CurrentWidth() const
{
    const GUIWindow* window = Window(mCurrentWindow);
    return window != nullptr ? window->mWidth : 0;
}

void CGUIController::DrawWindow(Lumo::Graphics& graphics)
{
    graphics.PushState();
    switch (mState) {
    case kBorderIn:
    case kBorderOut:
        DrawWindowBorder(graphics, CurrentAlpha());
        break;
    case kRolling:
    case kRollingClosed:
        DrawWindowPanel(graphics, TruncateToInt(ReachedWidth()),
                        mNextWindow != kNoWindow ? mNextWindow : mCurrentWindow);
        break;
    case kFadingIn:
    case kFadingOut:
    case kShown: {
        DrawWindowPanel(graphics, CurrentWidth(), mCurrentWindow);
        DrawWindowContent(graphics, mState == kShown ? 255 : CurrentAlpha(), mCurrentWindow, true, 0);
        break;
    }
    default:
        break;
    }
    graphics.PopState();
    if (mHighlightOn)
        DrawHighlight(graphics);
}

void CGUIController::DrawWindowFaded(Lumo::Graphics& graphics, int32_t id, int32_t alpha)
{
    graphics.PushState();
    DrawWindowContent(graphics, alpha, id, true, 0);
    graphics.PopState();
}

void CGUIController::DrawSlot(Lumo::Graphics& graphics, int32_t slot, int32_t x, int32_t y)
{
    GUIDrawSlot(*mHost, graphics, slot, x, y);
}

void CGUIController::DrawWindowBorder(Lumo::Graphics& graphics, int32_t alpha)
{
    // The level map's window has no frame; it may be the one arriving or the one leaving.
    const int32_t shown = mNextWindow != kNoWindow ? mNextWindow : mCurrentWindow;
    Lumo::Rect frame;
    Lumo::MemoryImage* image = mHost->SlotImage(mFrameImage, &frame);
    if (shown == GUIWindowId::kLevelMap || image == nullptr)
        return;
    graphics.SetTintImages(true);
    graphics.SetColor(Lumo::Color(255, 255, 255, alpha));
    graphics.DrawImageSrcRect(image, kCenterX - mLeftBorderWidth, 0,
                              Lumo::Rect{frame.mX + mPieceX[0], frame.mY, mLeftBorderWidth, frame.mHeight});
    graphics.DrawImageSrcRect(image, kCenterX,
                              0, Lumo::Rect{frame.mX + mPieceX[4], frame.mY, mRightBorderWidth, frame.mHeight});
    graphics.SetTintImages(false);
}

void CGUIController::DrawWindowPanel(Lumo::Graphics& graphics, int32_t width, int32_t shown)
{
    Lumo::Rect frame;
    Lumo::MemoryImage* image = mHost->SlotImage(mFrameImage, &frame);
    if (shown == GUIWindowId::kLevelMap || image == nullptr || width < 0)
        return;
    const int32_t left = kCenterX - width / 2;
    auto piece = [&](int32_t piece, int32_t sourceOffset, int32_t pieceWidth, int32_t x) {
        if (pieceWidth > 0)
            graphics.DrawImageSrcRect(image, x, 0,
                                      Lumo::Rect{frame.mX + mPieceX[size_t(piece)] + sourceOffset, frame.mY,
                                                 pieceWidth, frame.mHeight});
    };
    piece(0, 0, mLeftBorderWidth, left - mLeftBorderWidth);
    piece(4, 0, mRightBorderWidth, left + width);
    int32_t leftShadow = mLeftShadowWidth;
    int32_t rightShadow = mRightShadowWidth;
    if (width < leftShadow + rightShadow) {
        leftShadow = std::min(leftShadow, width / 2);
        rightShadow = std::min(rightShadow, width - leftShadow);
    }
    piece(1, 0, leftShadow, left);
    piece(3, mRightShadowWidth - rightShadow, rightShadow, left + width - rightShadow);
    const int32_t middle = width - leftShadow - rightShadow;
    if (mTileWidth <= 0 || middle <= 0)
        return;
    const int32_t columns = middle / mTileWidth;
    const int32_t rest = middle % mTileWidth;
    for (size_t row = 0; row < mTiles.size(); ++row) {
        Lumo::Rect tileRect;
        Lumo::MemoryImage* tile = mHost->SlotImage(mTiles[row], &tileRect);
        if (tile == nullptr)
            continue;
        const int32_t y = int32_t(row) * kTileHeight;
        int32_t x = left + leftShadow;
        for (int32_t c = 0; c < columns; ++c, x += mTileWidth)
            graphics.DrawImageSrcRect(tile, x, y, tileRect);
        if (rest > 0)
            graphics.DrawImageSrcRect(tile, x, y, Lumo::Rect{tileRect.mX, tileRect.mY, rest, tileRect.mHeight});
    }
}

void CGUIController::DrawWindowContent(Lumo::Graphics& graphics, int32_t alpha, int32_t id, bool header,
                                       int32_t yOffset)
{
    const GUIWindow* window = Window(id);
    if (window == nullptr)
        return;
    const int32_t left = kCenterX - window->mWidth / 2;
    graphics.SetTintImages(true);
    graphics.SetColor(Lumo::Color(255, 255, 255, alpha));
    if (header && id != GUIWindowId::kMenu && id != GUIWindowId::kLevelMap)
        DrawSlot(graphics, mHeaderImage, kCenterX - mHeaderHalfWidth, mHeaderY + yOffset);
    for (int32_t i = window->mFirstLabel; i < window->mEndLabel; ++i)
        DrawLabel(graphics, i, left, yOffset);
    for (int32_t i = window->mFirstInfoLabel; i < window->mFirstLabel; ++i)
        DrawLabel(graphics, i, left, yOffset);
    DrawButtons(graphics, *window, left, yOffset);
    for (int32_t i = window->mFirstCheckbox; i < window->mEndCheckbox; ++i) {
        const GUICheckbox& box = mCheckboxes[size_t(i)];
        DrawSlot(graphics, box.mBody, left + box.mBodyX, box.mBodyY + yOffset);
        if (box.mValue == 1)
            DrawSlot(graphics, box.mCheck, left + box.mCheckX, box.mCheckY + yOffset);
    }
    for (int32_t i = window->mFirstSlider; i < window->mEndSlider; ++i) {
        const GUISlider& slider = mSliders[size_t(i)];
        DrawSlot(graphics, slider.mBody, left + slider.mPos.mX, slider.mPos.mY + yOffset);
        DrawSlot(graphics, slider.mNut, left + slider.mNutX, slider.mNutY + yOffset);
    }
    for (int32_t i = window->mFirstListBox; i < window->mEndListBox; ++i)
        DrawListBox(graphics, mListBoxes[size_t(i)], left, alpha, yOffset);
    for (int32_t i = window->mFirstEditBox; i < window->mEndEditBox; ++i) {
        const GUIEditBox& edit = mEditBoxes[size_t(i)];
        Lumo::Color fill = edit.mBackground;
        fill.mAlpha = std::min(fill.mAlpha, alpha);
        graphics.SetColor(fill);
        graphics.FillRect(left + edit.mRect.mX, edit.mRect.mY + yOffset, edit.mRect.mWidth, edit.mRect.mHeight);
        graphics.SetColor(Lumo::Color(255, 255, 255, alpha));
    }
    if (id != mCurrentWindow)
        return;
    if (id == GUIWindowId::kStageSelect && mSlotPanel != nullptr) {
        mSlotPanel->Draw(graphics, alpha);
    } else if (id >= GUIWindowId::kHiscoreShow && id <= GUIWindowId::kHiscoreShowGameover) {
        mHost->DrawHiscores(graphics, alpha, std::vector<std::string>(mRankNames.begin(), mRankNames.end()));
    } else if (id == GUIWindowId::kCredits) {
        const CGUITuning tuning = mHost->Tuning();
        const int32_t bodyWidth = mWindows[size_t(GUIWindowId::kCreditsBody)].mWidth;
        graphics.PushState();
        graphics.NarrowClipRect(kCenterX - bodyWidth / 2, tuning.mCreditsPos - tuning.mCreditsWidth, bodyWidth,
                                tuning.mCreditsWidth);
        const int32_t scroll =
            TruncateToInt(float(tuning.mCreditsGap + tuning.mCreditsWidth) * mCreditsPosition);
        DrawWindowContent(graphics, alpha, GUIWindowId::kCreditsBody, false, tuning.mCreditsPos - scroll);
        graphics.PopState();
    }
    graphics.SetTintImages(false);
}

void CGUIController::DrawLabel(Lumo::Graphics& graphics, int32_t index, int32_t left, int32_t yOffset)
{
    GUILabel& label = mLabels[size_t(index)];
    if (label.mBroken)
        return;
    if (label.IsGroup()) {
        const std::pair<int32_t, int32_t> group = LabelGroup(label.mHalfWidthOrGroup);
        for (int32_t i = group.first; i < group.second; ++i) {
            if (!mLabels[size_t(i)].IsGroup())
                DrawLabel(graphics, i, left, yOffset);
        }
        return;
    }
    if (label.Has(GUILabel::kCounting) && label.mTrack != nullptr) {
        const int32_t reached = label.mShown + TruncateToInt(float(label.mTarget) * label.mTrack->mTime);
        if (reached != label.mCurrent) {
            label.mCurrent = reached;
            SetLabelValue(index, reached);
        }
    }
    const int32_t x = label.Has(GUILabel::kCentered) ? kCenterX - label.mHalfWidthOrGroup : left + label.mX;
    const int32_t y = label.mY + yOffset;
    if (label.Has(GUILabel::kImage)) {
        DrawSlot(graphics, label.mFontOrImage, x, y);
        return;
    }
    Lumo::Font* font = FontOf(label.mFontOrImage);
    if (font == nullptr || label.mText.empty())
        return;
    if (label.Has(GUILabel::kZoomPhase) && label.mTrack != nullptr && mZoomGraphics != nullptr) {
        DrawZoomedLabel(graphics, label, x, y);
        return;
    }
    graphics.SetFont(font);
    graphics.DrawText(label.mText, x, y);
}

void CGUIController::DrawZoomedLabel(Lumo::Graphics& graphics, GUILabel& label, int32_t x, int32_t y)
{
    Lumo::Font* font = FontOf(label.mFontOrImage);
    const int32_t ascent = font->GetAscent();
    mZoomImage->Clear();
    mZoomGraphics->SetFont(font);
    mZoomGraphics->SetColor(Lumo::Color(255, 255, 255, 255));
    const int32_t textX = mZoomWidth / 2 - label.mHalfWidthOrGroup;
    mZoomGraphics->DrawText(label.mText, textX, ascent);
    mZoomImage->MarkBitsChanged();
    float zoom[2];
    SampleCurve(&mZoomCurve, label.mTrack->mTime, zoom, 2);
    const int32_t centerX = x + label.mHalfWidthOrGroup;
    const int32_t centerY = y - ascent + mZoomHeight / 2;
    const int32_t width = TruncateToInt(float(mZoomWidth) * zoom[0]);
    const int32_t height = TruncateToInt(float(mZoomHeight) * zoom[0]);
    const Lumo::Color before = graphics.GetColor();
    graphics.SetColor(Lumo::Color(255, 255, 255, std::min(before.mAlpha, ClampAlpha(255.0f * zoom[1]))));
    graphics.DrawImageStretched(mZoomImage.get(),
                                Lumo::Rect{centerX - width / 2, centerY - height / 2, width, height},
                                Lumo::Rect{0, 0, mZoomWidth, mZoomHeight});
    graphics.SetColor(before);
}

void CGUIController::DrawButtons(Lumo::Graphics& graphics, const GUIWindow& window, int32_t left, int32_t yOffset)
{
    for (int32_t i = window.mFirstButton; i < window.mEndButton; ++i) {
        const GUIButton& button = mButtons[size_t(i)];
        if (!button.mEnabled)
            continue;
        if (button.mKind == GUIButton::kGlyph) {
            const int32_t image = button.mState == GUIButton::kPushed    ? button.mPush
                                  : button.mState == GUIButton::kHovered ? button.mHover
                                                                         : button.mIdle;
            DrawSlot(graphics, image, left + button.mX, button.mY + yOffset);
        } else if (Lumo::Font* font = FontOf(button.mState == GUIButton::kIdle ? button.mFont : button.mHoverFont)) {
            const int32_t push = button.mState == GUIButton::kPushed ? 1 : 0;
            graphics.SetFont(font);
            graphics.DrawText(button.mCaption, left + button.mX + push, button.mY + yOffset + push);
        }
        if (mBorderFlag)
            graphics.DrawRect(left + button.mRect.mX, button.mRect.mY + yOffset, button.mRect.mWidth,
                              button.mRect.mHeight);
    }
}

void CGUIController::DrawListBox(Lumo::Graphics& graphics, const GUIListBox& list, int32_t left, int32_t alpha,
                                 int32_t yOffset)
{
    const int32_t x = left + list.mRect.mX;
    const int32_t y = list.mRect.mY + yOffset;
    const int32_t row = list.mSelection - list.mFirstVisible;
    if (list.mSelection >= 0 && row >= 0 && row < list.mMaxLines) {
        Lumo::Color fill = list.mSelectionColor;
        fill.mAlpha = std::min(fill.mAlpha, alpha);
        graphics.SetColor(fill);
        graphics.FillRect(x + list.mSelectionXOffs, y + list.mYOffs + row * list.mLineStep + list.mSelectionYOffs,
                          list.mSelectionWidth, list.mSelectionHeight);
        graphics.SetColor(Lumo::Color(255, 255, 255, alpha));
    }
    Lumo::Font* font = FontOf(list.mFont);
    if (font == nullptr || !list.mLines)
        return;
    graphics.SetFont(font);
    for (int32_t r = 0; r < list.mMaxLines && list.mFirstVisible + r < list.mLineCount; ++r) {
        std::string text;
        if (list.mLines(list.mFirstVisible + r, &text))
            graphics.DrawText(text, x + list.mXOffs, y + list.mYOffs + r * list.mLineStep);
    }
}

void CGUIController::DrawHighlight(Lumo::Graphics& graphics)
{
    Lumo::Image* wheel = mHost->LoadingWheel();
    if (wheel == nullptr || mWheelTurn == nullptr || mWheelFade == nullptr)
        return;
    const double angle = std::floor(mWheelTurn->mTime * kWheelSteps + 0.5) * kWheelStep;
    const int32_t alpha = ClampAlpha(255.0f * SampleCurve1D(&mWheelCurve, mWheelFade->mTime));
    graphics.PushState();
    graphics.SetTintImages(true);
    graphics.SetColor(Lumo::Color(255, 255, 255, alpha));
    graphics.DrawImageRotated(wheel, mWheelX - mWheelHalfWidth, mWheelY - mWheelHalfHeight, angle);
    graphics.PopState();
}

void CGUIController::FetchWindowImages(int32_t id)
{
    const GUIWindow* window = Window(id);
    if (window == nullptr)
        return;
    for (int32_t i = window->mFirstLabel; i < window->mEndLabel; ++i) {
        if (mLabels[size_t(i)].Has(GUILabel::kImage))
            mHost->FetchSlotImage(mLabels[size_t(i)].mFontOrImage);
    }
}

#include "framework/widgets/ButtonWidget.h"

#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Lumo {

namespace {

constexpr int kDefaultColors[][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132},
                                     {212, 212, 212}};

} // namespace

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mListener(listener)
{
    mSeeThrough = true;
    SetColorsRGB(kDefaultColors, 6);
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::SetLabelFont(Font* font)
{
    mFont = font;
}

bool ButtonWidget::IsShownPressed()
{
    return mPressed && mHovered && !mDisabled;
}

void ButtonWidget::SetDisabled(bool disabled)
{
    Widget::SetDisabled(disabled);
    if (HasImage(mDisabledImage, mDisabledCell))
        MarkDirty();
}

bool ButtonWidget::LooksAffectedByHover()
{
    return mPressed || HasImage(mHoverImage, mHoverCell) || GetColor(0) != GetColor(1);
}

void ButtonWidget::MouseEnter()
{
    if (mHoverFadeInStep == 0.0 && mHoverAlpha > 0.0)
        mHoverAlpha = 0.0;
    if (LooksAffectedByHover())
        MarkDirty();
    if (mListener != nullptr)
        mListener->OnButtonHoverEnter(mId);
}

void ButtonWidget::MouseLeave()
{
    if (mHoverFadeOutStep == 0.0 && mHoverAlpha > 0.0)
        mHoverAlpha = 0.0;
    else if (mHoverFadeOutStep > 0.0 && mHoverAlpha == 0.0)
        mHoverAlpha = 1.0;
    if (LooksAffectedByHover())
        MarkDirty();
    if (mListener != nullptr)
        mListener->OnButtonHoverLeave(mId);
}

void ButtonWidget::MouseMove(int x, int y)
{
    if (mListener != nullptr)
        mListener->OnButtonHoverMove(mId, x, y);
}

void ButtonWidget::MouseDown(int, int, int, int clickCount)
{
    if (mListener != nullptr)
        mListener->OnButtonPressedCount(mId, clickCount);
    MarkDirty();
}

void ButtonWidget::MouseUp(int, int, int, int)
{
    if (mHovered && mManager != nullptr && mManager->mHasFocus && mListener != nullptr)
        mListener->OnButtonClicked(mId);
    MarkDirty();
}

void ButtonWidget::Update()
{
    Widget::Update();
    if (mPressed && mHovered && mListener != nullptr)
        mListener->OnButtonHeldTick(mId);
    if (mHovered && mHoverFadeInStep > 0.0 && mHoverAlpha < 1.0) {
        mHoverAlpha = std::min(1.0, mHoverAlpha + mHoverFadeInStep);
        MarkDirty();
    } else if (!mHovered && !mPressed && mHoverAlpha > 0.0) {
        mHoverAlpha = mHoverFadeOutStep > 0.0 ? std::max(0.0, mHoverAlpha - mHoverFadeOutStep) : 0.0;
        MarkDirty();
    }
}

void ButtonWidget::DrawStateImage(Graphics& graphics, Image* image, const Rect& cell, int x, int y)
{
    if (cell.mWidth != 0)
        graphics.DrawImageSrcRect(mNormalImage, x, y, cell);
    else if (image != nullptr)
        graphics.DrawImage(image, x, y);
}

void ButtonWidget::EnsureLabelFont(int pointSize, int charSet)
{
    if (mFont != nullptr || mLabel.empty() || mManager == nullptr)
        return;
    mOwnedFont.reset(mManager->mApp->CreateSysFont("Arial Unicode MS", pointSize, charSet));
    mFont = mOwnedFont.get();
}

void ButtonWidget::DrawFramed(Graphics& graphics, bool down, int* labelX, int* labelY)
{
    if (!mDrawNoFrame) {
        graphics.SetColor(GetColor(5));
        graphics.FillRect(0, 0, mWidth, mHeight);
    }
    if (down) {
        if (!mDrawNoFrame) {
            graphics.SetColor(GetColor(2));
            graphics.FillRect(0, 0, mWidth - 1, 1);
            graphics.FillRect(0, 0, 1, mHeight - 1);
            graphics.SetColor(GetColor(3));
            graphics.FillRect(0, mHeight - 1, mWidth, 1);
            graphics.FillRect(mWidth - 1, 0, 1, mHeight);
            graphics.SetColor(GetColor(4));
            graphics.FillRect(1, 1, mWidth - 3, 1);
            graphics.FillRect(1, 1, 1, mHeight - 3);
        }
        ++*labelX;
        ++*labelY;
    } else if (!mDrawNoFrame) {
        graphics.SetColor(GetColor(3));
        graphics.FillRect(0, 0, mWidth - 1, 1);
        graphics.FillRect(0, 0, 1, mHeight - 1);
        graphics.SetColor(GetColor(2));
        graphics.FillRect(0, mHeight - 1, mWidth, 1);
        graphics.FillRect(mWidth - 1, 0, 1, mHeight);
        graphics.SetColor(GetColor(4));
        graphics.FillRect(1, mHeight - 2, mWidth - 2, 1);
        graphics.FillRect(mWidth - 2, 1, 1, mHeight - 2);
    }
    graphics.SetColor(GetColor(mHovered ? 1 : 0));
}

void ButtonWidget::DrawImages(Graphics& graphics, bool down, int* labelX, int* labelY)
{
    if (down) {
        if (HasImage(mPressedImage, mPressedCell))
            DrawStateImage(graphics, mPressedImage, mPressedCell, 0, 0);
        else if (HasImage(mHoverImage, mHoverCell))
            DrawStateImage(graphics, mHoverImage, mHoverCell, 1, 1);
        else
            DrawStateImage(graphics, mNormalImage, mNormalCell, 1, 1);
        graphics.SetColor(GetColor(1));
        ++*labelX;
        ++*labelY;
        return;
    }
    if (mDisabled && HasImage(mDisabledImage, mDisabledCell)) {
        DrawStateImage(graphics, mDisabledImage, mDisabledCell, 0, 0);
    } else if (mHoverAlpha > 0.0 && HasImage(mHoverImage, mHoverCell)) {
        if (HasImage(mNormalImage, mNormalCell) && mHoverAlpha < 1.0)
            DrawStateImage(graphics, mNormalImage, mNormalCell, 0, 0);
        graphics.SetTintImages(true);
        graphics.SetColor(Color(255, 255, 255, static_cast<int>(mHoverAlpha * 255)));
        DrawStateImage(graphics, mHoverImage, mHoverCell, 0, 0);
        graphics.SetTintImages(false);
    } else if ((mHovered || mPressed) && HasImage(mHoverImage, mHoverCell)) {
        DrawStateImage(graphics, mHoverImage, mHoverCell, 0, 0);
    } else if (HasImage(mNormalImage, mNormalCell)) {
        DrawStateImage(graphics, mNormalImage, mNormalCell, 0, 0);
    }
    graphics.SetColor(GetColor(mHovered ? 1 : 0));
}

void ButtonWidget::Draw(Graphics& graphics)
{
    if (mDrawNothing)
        return;
    EnsureLabelFont(10, 0);
    const bool down = IsShownPressed() != mInvertPressed;
    int labelX = 0;
    int labelY = 0;
    if (mFont != nullptr) {
        const int textWidth = mFont->StringWidth(mLabel);
        if (mLabelAlign == 0)
            labelX = (mWidth - textWidth) / 2;
        else if (mLabelAlign == 1)
            labelX = mWidth - textWidth;
        const int ascent = mFont->GetAscent();
        labelY = (ascent + mHeight - ascent / 6 - 1) / 2;
        graphics.SetFont(mFont);
    }
    if (mNormalImage == nullptr && mPressedImage == nullptr)
        DrawFramed(graphics, down, &labelX, &labelY);
    else
        DrawImages(graphics, down, &labelX, &labelY);
    if (mFont != nullptr)
        graphics.DrawText(mLabel, labelX, labelY);
}

} // namespace Lumo

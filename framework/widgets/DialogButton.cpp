#include "framework/widgets/DialogButton.h"

#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/Graphics.h"

namespace Lumo {

namespace {

constexpr int kDefaultColors[][3] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132},
                                     {212, 212, 212}};

bool HasArea(const Rect& cell)
{
    return cell.mWidth > 0 && cell.mHeight > 0;
}

} // namespace

DialogButton::DialogButton(int id, ButtonListener* listener) : ButtonWidget(id, listener)
{
    mHandCursor = true;
    SetColorsRGB(kDefaultColors, 6);
}

void DialogButton::DrawFace(Graphics& graphics, bool down)
{
    const Rect area{0, 0, mWidth, mHeight};
    if (mNormalCell.mWidth == 0) {
        graphics.DrawNineCellImage(mComponentImage, area);
    } else if (mDisabled && HasArea(mDisabledCell)) {
        graphics.DrawNineCellImageFrom(mComponentImage, area, mDisabledCell);
    } else if (down) {
        graphics.DrawNineCellImageFrom(mComponentImage, area, mPressedCell);
    } else if (mHoverAlpha <= 0.0) {
        graphics.DrawNineCellImageFrom(mComponentImage, area, mHovered ? mHoverCell : mNormalCell);
    } else {
        if (mHoverAlpha < 1.0)
            graphics.DrawNineCellImageFrom(mComponentImage, area, mNormalCell);
        const bool tint = graphics.GetTintImages();
        const Color color = graphics.GetColor();
        graphics.SetTintImages(true);
        graphics.SetColor(Color(255, 255, 255, static_cast<int>(mHoverAlpha * 255)));
        graphics.DrawNineCellImageFrom(mComponentImage, area, mHoverCell);
        graphics.SetTintImages(tint);
        graphics.SetColor(color);
    }
}

void DialogButton::Draw(Graphics& graphics)
{
    if (mDrawNothing)
        return;
    if (mComponentImage == nullptr) {
        ButtonWidget::Draw(graphics);
        return;
    }
    EnsureLabelFont(12, 1);
    const bool down = mPressed && mHovered && !mDisabled;
    if (down)
        graphics.Translate(mTranslateX, mTranslateY);
    DrawFace(graphics, down);
    if (mFont != nullptr) {
        graphics.SetFont(mFont);
        graphics.SetColor(GetColor(mHovered ? 1 : 0));
        const int ascent = mFont->GetAscent();
        const int x = (mWidth - mFont->StringWidth(mLabel)) / 2 + mTextOffsetX;
        const int y = mTextOffsetY + (mHeight - ascent / 6 - mFont->GetAscentPadding() - 1 + ascent) / 2;
        graphics.DrawText(mLabel, x, y);
    }
    if (down)
        graphics.Translate(-mTranslateX, -mTranslateY);
}

} // namespace Lumo

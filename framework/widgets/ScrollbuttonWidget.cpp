#include "framework/widgets/ScrollbuttonWidget.h"

#include "framework/graphics/Graphics.h"

namespace Lumo {

namespace {

const Color kFace(212, 212, 212);
const Color kShade(132, 132, 132);

} // namespace

ScrollbuttonWidget::ScrollbuttonWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

ScrollbuttonWidget::~ScrollbuttonWidget() = default;

void ScrollbuttonWidget::Draw(Graphics& graphics)
{
    graphics.SetColor(kFace);
    graphics.FillRect(0, 0, mWidth, mHeight);
    int offset = 0;
    if (!IsShownPressed()) {
        graphics.SetColor(Color::White);
        graphics.FillRect(1, 1, mWidth - 2, 1);
        graphics.FillRect(1, 1, 1, mHeight - 2);
        graphics.SetColor(Color::Black);
        graphics.FillRect(0, mHeight - 1, mWidth, 1);
        graphics.FillRect(mWidth - 1, 0, 1, mHeight);
        graphics.SetColor(kShade);
        graphics.FillRect(1, mHeight - 2, mWidth - 2, 1);
        graphics.FillRect(mWidth - 2, 1, 1, mHeight - 2);
    } else {
        offset = 1;
        graphics.SetColor(kShade);
        graphics.DrawRect(0, 0, mWidth - 1, mHeight - 1);
    }
    graphics.SetColor(mDisabled ? kShade : Color::Black);
    if (!mHorizontal && mArrowKind != 3 && mArrowKind != 4) {
        const int center = (mHeight - 4) / 2;
        const bool up = mId == 0 || mArrowKind == 1;
        for (int i = 0; i < 4; ++i) {
            const int y = up ? center + i + offset : center - i + offset + 3;
            graphics.FillRect(mWidth / 2 - i + offset - 1, y, 2 * i + 1, 1);
        }
    } else {
        const int center = (mWidth - 4) / 2;
        const bool left = mId == 0 || mArrowKind == 3;
        for (int i = 0; i < 4; ++i) {
            const int x = left ? center + i + offset : center - i + offset + 3;
            graphics.FillRect(x, mHeight / 2 - i + offset - 1, 1, 2 * i + 1);
        }
    }
}

} // namespace Lumo

#include "framework/widgets/Widget.h"

#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/Image.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cstdlib>

namespace Lumo {

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyShift = 16;

} // namespace

Widget::~Widget() = default;

void Widget::StackOrderChanged() {}

void Widget::SetVisible(bool visible)
{
    if (mVisible == visible)
        return;
    mVisible = visible;
    if (visible)
        MarkDirty();
    else
        MarkDirtyFull();
    if (mManager != nullptr)
        mManager->RecheckMouse();
}

void Widget::SetColorsRGBA(const int (*colors)[4], int count)
{
    mColors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(colors[i][0], colors[i][1], colors[i][2], colors[i][3]));
    MarkDirty();
}

void Widget::SetColorsRGB(const int (*colors)[3], int count)
{
    mColors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(colors[i][0], colors[i][1], colors[i][2]));
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color)
{
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= mColors.size())
        mColors.resize(static_cast<size_t>(index) + 1, Color::Black);
    mColors[static_cast<size_t>(index)] = color;
    MarkDirty();
}

Color Widget::GetColorOr(int index, const Color& defaultColor)
{
    if (index < 0 || static_cast<size_t>(index) >= mColors.size())
        return defaultColor;
    return mColors[static_cast<size_t>(index)];
}

const Color& Widget::GetColor(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= mColors.size())
        return Color::Black;
    return mColors[static_cast<size_t>(index)];
}

void Widget::SetDisabled(bool disabled)
{
    if (mDisabled == disabled)
        return;
    mDisabled = disabled;
    if (disabled && mManager != nullptr)
        mManager->ForgetWidget(this);
    MarkDirty();
    if (!disabled && mManager != nullptr && ContainsPoint(mManager->mLastMouseX, mManager->mLastMouseY))
        mManager->MouseMove(mManager->mLastMouseX, mManager->mLastMouseY);
}

void Widget::SetHandCursor(bool hand)
{
    if (mManager != nullptr)
        mManager->mApp->SetCursor(hand ? 1 : 0);
}

void Widget::ResizeRect(const Rect& rect)
{
    Resize(rect.mX, rect.mY, rect.mWidth, rect.mHeight);
}

void Widget::Resize(int x, int y, int width, int height)
{
    if (mX == x && mY == y && mWidth == width && mHeight == height)
        return;
    MarkDirtyFull();
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    MarkDirty();
    if (mManager != nullptr)
        mManager->RecheckMouse();
}

void Widget::Move(int x, int y)
{
    Resize(x, y, mWidth, mHeight);
}

bool Widget::WantsFocus()
{
    return mTakesFocus;
}

void Widget::DrawOverlayPriority(Graphics& graphics, int)
{
    DrawOverlay(graphics);
}

void Widget::DrawOverlay(Graphics&) {}

void Widget::GotFocus()
{
    mFocused = true;
}

void Widget::LostFocus()
{
    mFocused = false;
}

void Widget::KeyChar(char) {}

void Widget::KeyDown(int key)
{
    if (key != kKeyTab || mManager == nullptr)
        return;
    Widget* target = mManager->IsKeyDown(kKeyShift) ? mTabBackward : mTabForward;
    if (target != nullptr)
        mManager->SetFocus(target);
}

void Widget::KeyUp(int) {}

void Widget::MouseEnter() {}

void Widget::MouseLeave() {}

void Widget::MouseMove(int, int) {}

void Widget::MouseDown(int, int, int, int) {}

void Widget::MouseDownCount(int x, int y, int code)
{
    if (code == 3)
        MouseDown(x, y, 2, 1);
    else if (code >= 0)
        MouseDown(x, y, 0, code);
    else
        MouseDown(x, y, 1, -code);
}

void Widget::MouseUp(int, int, int, int) {}

void Widget::MouseUpCount(int x, int y, int code)
{
    MouseUpAt(x, y);
    if (code == 3)
        MouseUp(x, y, 2, 1);
    else if (code >= 0)
        MouseUp(x, y, 0, code);
    else
        MouseUp(x, y, 1, -code);
}

void Widget::MouseUpAt(int, int) {}

void Widget::MouseDrag(int, int) {}

void Widget::MouseWheel(int) {}

bool Widget::AcceptsPoint(int, int)
{
    return true;
}

int Widget::CenteredX(Graphics& graphics, const std::string& text)
{
    return (mWidth - graphics.GetFont()->StringWidth(text)) / 2;
}

Rect Widget::DrawCenteredLineShadowed(Graphics& graphics, int y, const std::string& text, const Color& color,
                                      const Color& shadowColor, int dx, int dy)
{
    Font* font = graphics.GetFont();
    const int x = CenteredX(graphics, text);
    graphics.SetColor(shadowColor);
    graphics.DrawText(text, x + dx, y + dy);
    graphics.SetColor(color);
    graphics.DrawText(text, x, y);
    return Rect{x + std::min(dx, 0), y + std::min(dy, 0) - font->GetAscent(), font->StringWidth(text) + std::abs(dx),
                font->GetHeight() + std::abs(dy)};
}

Rect Widget::DrawCenteredLine(Graphics& graphics, int y, const std::string& text)
{
    Font* font = graphics.GetFont();
    const int x = CenteredX(graphics, text);
    graphics.DrawText(text, x, y);
    return Rect{x, y - font->GetAscent(), font->StringWidth(text), font->GetHeight()};
}

int Widget::DrawColorCodedLine(Graphics& graphics, const std::string& text, int x, int y, int width,
                               int justification, bool draw, int start, int length)
{
    const bool colorCodes = graphics.mColorCodes;
    graphics.mColorCodes = true;
    const int result = graphics.DrawColorCodedString(text, x, y, width, justification, draw, start, length, -1);
    graphics.mColorCodes = colorCodes;
    return result;
}

int Widget::DrawColorCodedWrapped(Graphics& graphics, const std::string& text, const Rect& rect, int lineSpacing,
                                  int justification)
{
    const bool colorCodes = graphics.mColorCodes;
    graphics.mColorCodes = true;
    const int result = graphics.DrawWordWrapped(text, rect, lineSpacing, justification);
    graphics.mColorCodes = colorCodes;
    return result;
}

int Widget::MeasureWrappedText(Graphics& graphics, int width, const std::string& text, int lineSpacing)
{
    return graphics.MeasureWrappedText(width, text, lineSpacing);
}

int Widget::CountDigits(int n)
{
    int digits = 1;
    for (int64_t rest = n; rest > 9; rest /= 10)
        ++digits;
    return digits;
}

void Widget::DrawDigitStrip(Graphics& graphics, int n, int x, int y, Image* image, int spacing)
{
    const int cellWidth = image->GetWidth() / 10;
    const int digits = CountDigits(n);
    int divisor = 1;
    for (int i = 1; i < digits; ++i)
        divisor *= 10;
    int offset = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = n / divisor % 10;
        divisor = std::max(1, divisor / 10);
        Graphics copy(graphics);
        copy.NarrowClipRect(x + offset, y, cellWidth, image->GetHeight());
        copy.DrawImage(image, x + offset - digit * cellWidth, y);
        offset += cellWidth + spacing;
    }
}

bool Widget::ContainsPoint(int x, int y)
{
    return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight;
}

Rect Widget::InnerRect()
{
    return Rect{mX + mHitInsets.mLeft, mY + mHitInsets.mTop, mWidth - mHitInsets.mLeft - mHitInsets.mRight,
                mHeight - mHitInsets.mTop - mHitInsets.mBottom};
}

} // namespace Lumo

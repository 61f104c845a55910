#include "framework/widgets/ScrollbarWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/ScrollListener.h"
#include "framework/widgets/ScrollbuttonWidget.h"

#include <algorithm>

namespace Lumo {

namespace {

constexpr int kRepeatDelay = 25;
constexpr int kPageRepeatRestart = 20;
const Color kTrack(232, 232, 232);
const Color kTrackPaging(48, 48, 48);

} // namespace

ScrollbarWidget::ScrollbarWidget(int id, ScrollListener* listener) : mId(id), mListener(listener)
{
    SetDisabled(true);
}

ScrollbarWidget::~ScrollbarWidget()
{
    RemoveAllChildren(true, false);
}

int ScrollbarWidget::ArrowLength()
{
    if (mUpButton == nullptr)
        return 0;
    return mHorizontal ? mUpButton->mWidth : mUpButton->mHeight;
}

void ScrollbarWidget::NotifyPosition()
{
    if (mListener != nullptr)
        mListener->ScrollPosition(mId, mPosition);
}

void ScrollbarWidget::SetEnabledAndShown(bool canScroll)
{
    Widget* parts[] = {this, mDownButton, mUpButton};
    for (Widget* part : parts) {
        if (part == nullptr)
            continue;
        part->SetDisabled(!canScroll);
        if (mHideWhenIdle)
            part->SetVisible(canScroll);
    }
}

void ScrollbarWidget::SetHideWhenIdle(bool hide)
{
    mHideWhenIdle = hide;
    if (!hide)
        return;
    Widget* parts[] = {this, mDownButton, mUpButton};
    for (Widget* part : parts) {
        if (part != nullptr)
            part->SetVisible(false);
    }
}

void ScrollbarWidget::SetMaximum(double maximum)
{
    mMaximum = maximum;
    ClampPosition();
    MarkDirty();
}

void ScrollbarWidget::SetPageLength(double pageLength)
{
    mPageLength = pageLength;
    ClampPosition();
    MarkDirty();
}

void ScrollbarWidget::SetPosition(double position)
{
    mPosition = position;
    ClampPosition();
    NotifyPosition();
    MarkDirty();
}

void ScrollbarWidget::SetHorizontalLayout(bool horizontal)
{
    mHorizontal = horizontal;
    if (mUpButton != nullptr)
        mUpButton->mHorizontal = horizontal;
    if (mDownButton != nullptr)
        mDownButton->mHorizontal = horizontal;
}

void ScrollbarWidget::LayoutArrows(int x, int y, int width, int height)
{
    Resize(x, y, width, height);
    if (mUpButton == nullptr || mDownButton == nullptr)
        return;
    if (mHorizontal) {
        mUpButton->Resize(0, 0, height, height);
        mDownButton->Resize(width - height, 0, height, height);
    } else {
        mUpButton->Resize(0, 0, width, width);
        mDownButton->Resize(0, height - width, width, width);
    }
}

bool ScrollbarWidget::IsAtEnd()
{
    return mMaximum - mPageLength - mPosition <= 1.0;
}

void ScrollbarWidget::ScrollToEnd()
{
    mPosition = mMaximum - mPageLength;
    ClampPosition();
    SetPosition(mPosition);
}

void ScrollbarWidget::DrawThumbBox(Graphics& graphics, int x, int y, int width, int height)
{
    graphics.SetColor(Color(212, 212, 212));
    graphics.FillRect(x, y, width, height);
    graphics.SetColor(Color::White);
    graphics.FillRect(x + 1, y + 1, width - 2, 1);
    graphics.FillRect(x + 1, y + 1, 1, height - 2);
    graphics.SetColor(Color::Black);
    graphics.FillRect(x, y + height - 1, width, 1);
    graphics.FillRect(x + width - 1, y, 1, height);
    graphics.SetColor(Color(132, 132, 132));
    graphics.FillRect(x + 1, y + height - 2, width - 2, 1);
    graphics.FillRect(x + width - 2, y + 1, 1, height - 2);
}

int ScrollbarWidget::TrackLength()
{
    return (mHorizontal ? mWidth : mHeight) - 2 * ArrowLength();
}

int ScrollbarWidget::ThumbLength()
{
    // A bar with no range has no thumb (and nothing to divide by).
    if (mMaximum < mPageLength || mMaximum <= 0.0)
        return 0;
    return std::max(8, static_cast<int>(TrackLength() * mPageLength / mMaximum + 0.5));
}

int ScrollbarWidget::ThumbOffset()
{
    if (mMaximum > mPageLength)
        return static_cast<int>((TrackLength() - ThumbLength()) * mPosition / (mMaximum - mPageLength) + 0.5) +
               ArrowLength();
    return ArrowLength();
}

void ScrollbarWidget::ClampPosition()
{
    const double before = mPosition;
    if (mPosition > mMaximum - mPageLength)
        mPosition = mMaximum - mPageLength;
    if (mPosition < 0.0)
        mPosition = 0.0;
    SetEnabledAndShown(mMaximum > mPageLength);
    if (mPosition != before)
        NotifyPosition();
}

void ScrollbarWidget::SetThumbOffset(int offset)
{
    const int freeLength = TrackLength() - ThumbLength();
    // A thumb that fills the track leaves no offset to map: stay at the start.
    if (freeLength <= 0) {
        SetPosition(0.0);
        return;
    }
    SetPosition((mMaximum - mPageLength) * (offset - ArrowLength()) / freeLength);
}

int ScrollbarWidget::HitTestTrack(int x, int y)
{
    const int p = mHorizontal ? x : y;
    const int offset = ThumbOffset();
    if (p < offset)
        return -1;
    if (p >= offset + ThumbLength())
        return 1;
    return 0;
}

void ScrollbarWidget::MouseDown(int x, int y, int, int)
{
    if (!mDisabled) {
        const int hit = HitTestTrack(x, y);
        if (hit == -1) {
            SetPosition(mPosition - mPageLength);
            mPageRepeat = 1;
            mPageRepeatCount = 0;
        } else if (hit == 1) {
            SetPosition(mPosition + mPageLength);
            mPageRepeat = 2;
            mPageRepeatCount = 0;
        } else {
            mDragging = true;
            mDragStartOffset = ThumbOffset();
            mPressX = x;
            mPressY = y;
        }
    }
    mLastX = x;
    mLastY = y;
}

void ScrollbarWidget::MouseDrag(int x, int y)
{
    if (mDragging)
        SetThumbOffset(mDragStartOffset + (mHorizontal ? x - mPressX : y - mPressY));
    mLastX = x;
    mLastY = y;
}

void ScrollbarWidget::MouseUp(int, int, int, int)
{
    mPageRepeat = 0;
    mDragging = false;
    MarkDirty();
}

void ScrollbarWidget::Update()
{
    Widget::Update();
    if (mPageRepeat == 0)
        return;
    const int wanted = mPageRepeat == 1 ? -1 : 1;
    if (HitTestTrack(mLastX, mLastY) == wanted) {
        if (++mPageRepeatCount == kRepeatDelay) {
            SetPosition(mPosition + wanted * mPageLength);
            mPageRepeatCount = kPageRepeatRestart;
        }
    } else {
        mPageRepeat = 0;
        MarkDirty();
    }
}

void ScrollbarWidget::Draw(Graphics& graphics)
{
    const int length = ThumbLength();
    const int offset = ThumbOffset();
    const Color& before = mPageRepeat == 1 ? kTrackPaging : kTrack;
    const Color& after = mPageRepeat == 2 ? kTrackPaging : kTrack;
    if (mHorizontal) {
        graphics.SetColor(before);
        graphics.FillRect(0, 0, offset, mHeight);
        if (length > 0)
            DrawThumbBox(graphics, offset, 0, length, mHeight);
        graphics.SetColor(after);
        graphics.FillRect(offset + length, 0, mWidth - offset - length, mHeight);
    } else {
        graphics.SetColor(before);
        graphics.FillRect(0, 0, mWidth, offset);
        if (length > 0)
            DrawThumbBox(graphics, 0, offset, mWidth, length);
        graphics.SetColor(after);
        graphics.FillRect(0, offset + length, mWidth, mHeight - offset - length);
    }
}

void ScrollbarWidget::OnButtonPressed(int id)
{
    mArrowRepeatCount = 0;
    SetPosition(mPosition + (id != 0 ? 1.0 : -1.0));
}

void ScrollbarWidget::OnButtonHeldTick(int id)
{
    if (++mArrowRepeatCount == kRepeatDelay) {
        SetPosition(mPosition + (id != 0 ? 1.0 : -1.0));
        mArrowRepeatCount = kRepeatDelay - 1;
    }
}

} // namespace Lumo

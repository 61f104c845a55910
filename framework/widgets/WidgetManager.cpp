#include "framework/widgets/WidgetManager.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetAppHost.h"
#include "framework/widgets/WidgetFlag.h"

#include <algorithm>

namespace Lumo {

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyControl = 17;

uint32_t ButtonBit(int code)
{
    if (code < 0)
        return 2;
    return code == 3 ? 4 : 1;
}

} // namespace

WidgetManager::WidgetManager(WidgetAppHost* app) : mApp(app)
{
    mManager = this;
}

WidgetManager::~WidgetManager() = default;

void WidgetManager::SetScreenRect(const Rect& screenRect, const Rect& mouseRect)
{
    mScreenRect = screenRect;
    mMouseRect = mouseRect;
    mWidth = screenRect.mWidth + 2 * screenRect.mX;
    mHeight = screenRect.mHeight + 2 * screenRect.mY;
}

void WidgetManager::MapMouseToScreen(int* x, int* y) const
{
    if (mMouseRect.mWidth == 0 || mMouseRect.mHeight == 0)
        return;
    *x = (*x - mMouseRect.mX) * mScreenRect.mWidth / mMouseRect.mWidth + mScreenRect.mX;
    *y = (*y - mMouseRect.mY) * mScreenRect.mHeight / mMouseRect.mHeight + mScreenRect.mY;
}

uint32_t WidgetManager::CurrentFlags() const
{
    return mHasFocus ? mDefaultFlags : mLostFocusMod.Apply(mDefaultFlags);
}

PassFlags WidgetManager::InitPassFlags() const
{
    PassFlags flags;
    flags.mPastModal = mModalWidget == nullptr;
    flags.mFrontFlags = CurrentFlags();
    flags.mBehindFlags = mBehindModalMod.Apply(flags.mFrontFlags);
    return flags;
}

Widget* WidgetManager::SearchAt(WidgetContainer* container, uint32_t flags, bool* pastModal, int x, int y,
                                int* localX, int* localY)
{
    flags = container->mFlagsMod.Apply(flags);
    for (auto it = container->mChildren.rbegin(); it != container->mChildren.rend(); ++it) {
        Widget* child = *it;
        uint32_t childFlags = child->mFlagsMod.Apply(flags);
        if (*pastModal)
            childFlags = mBehindModalMod.Apply(childFlags);
        if ((childFlags & WidgetFlag::MouseInput) != 0 && child->mVisible) {
            bool childPastModal = false;
            Widget* deeper = SearchAt(child, childFlags, &childPastModal, x - child->mX, y - child->mY, localX, localY);
            if (deeper != nullptr)
                return deeper;
            const Rect inner = child->InnerRect();
            if (child->mHitTestable && x >= inner.mX && x < inner.mX + inner.mWidth && y >= inner.mY &&
                y < inner.mY + inner.mHeight && child->AcceptsPoint(x - child->mX, y - child->mY)) {
                *localX = x - child->mX;
                *localY = y - child->mY;
                return child;
            }
        }
        if (child == mModalWidget)
            *pastModal = true;
    }
    return nullptr;
}

Widget* WidgetManager::WidgetAt(int x, int y, int* localX, int* localY)
{
    bool pastModal = false;
    Widget* widget = SearchAt(this, CurrentFlags(), &pastModal, x, y, localX, localY);
    if (widget != nullptr && widget->mDisabled)
        return nullptr;
    return widget;
}

void WidgetManager::EnterWidget(Widget* widget)
{
    widget->mHovered = true;
    widget->MouseEnter();
    if (widget->mHandCursor)
        widget->SetHandCursor(true);
}

void WidgetManager::LeaveWidget(Widget* widget)
{
    widget->mHovered = false;
    widget->MouseLeave();
    if (widget->mHandCursor)
        widget->SetHandCursor(false);
}

void WidgetManager::MouseMove(int x, int y)
{
    const bool moved = x != mLastMouseX || y != mLastMouseY;
    mLastMouseX = x;
    mLastMouseY = y;
    int localX = 0;
    int localY = 0;
    Widget* widget = WidgetAt(x, y, &localX, &localY);
    if (widget != mHoverWidget) {
        Widget* old = mHoverWidget;
        mHoverWidget = nullptr;
        if (old != nullptr)
            LeaveWidget(old);
        mHoverWidget = widget;
        if (widget != nullptr) {
            EnterWidget(widget);
            widget->MouseMove(localX, localY);
        }
    } else if (moved && widget != nullptr) {
        widget->MouseMove(localX, localY);
    }
}

bool WidgetManager::MouseMoveInput(int x, int y)
{
    mLastInputUpdate = mUpdateCount;
    if (mHeldButtons != 0) {
        MouseDrag(x, y);
    } else {
        mMouseInWindow = true;
        MouseMove(x, y);
    }
    return true;
}

void WidgetManager::MouseDrag(int x, int y)
{
    mLastInputUpdate = mUpdateCount;
    mMouseInWindow = true;
    mLastMouseX = x;
    mLastMouseY = y;
    if (mHoverWidget != nullptr && mHoverWidget != mPressedWidget) {
        Widget* old = mHoverWidget;
        mHoverWidget = nullptr;
        LeaveWidget(old);
    }
    if (mPressedWidget == nullptr)
        return;
    Widget* pressed = mPressedWidget;
    const Point origin = pressed->ToAbsolutePosition();
    pressed->MouseDrag(x - origin.mX, y - origin.mY);
    int localX = 0;
    int localY = 0;
    if (mPressedWidget != nullptr && WidgetAt(x, y, &localX, &localY) == mPressedWidget) {
        if (mHoverWidget == nullptr) {
            mHoverWidget = mPressedWidget;
            EnterWidget(mPressedWidget);
        }
    } else if (mHoverWidget != nullptr) {
        Widget* old = mHoverWidget;
        mHoverWidget = nullptr;
        LeaveWidget(old);
    }
}

bool WidgetManager::MouseDown(int x, int y, int code)
{
    mLastInputUpdate = mUpdateCount;
    const uint32_t bit = ButtonBit(code);
    mDownButtons |= bit;
    MouseMove(x, y);
    if (mPopupWidget != nullptr && !mPopupWidget->ContainsPoint(x, y)) {
        Widget* popup = mPopupWidget;
        mPopupWidget = nullptr;
        RemoveChild(popup);
    }
    int localX = 0;
    int localY = 0;
    Widget* widget = WidgetAt(x, y, &localX, &localY);
    if (mPressedWidget != nullptr)
        widget = mPressedWidget;
    mHeldButtons |= bit;
    mLastDownButton = code < 0 ? -1 : (code == 3 ? 2 : 1);
    mPressedWidget = widget;
    if (widget != nullptr) {
        if (widget->WantsFocus())
            SetFocus(widget);
        widget->mPressed = true;
        const Point origin = widget->ToAbsolutePosition();
        widget->MouseDownCount(x - origin.mX, y - origin.mY, code);
    }
    return true;
}

bool WidgetManager::MouseUp(int x, int y, int code)
{
    mLastInputUpdate = mUpdateCount;
    const uint32_t bit = ButtonBit(code);
    mDownButtons &= ~bit;
    if (mPressedWidget != nullptr && (mHeldButtons & bit) != 0) {
        Widget* widget = mPressedWidget;
        mHeldButtons &= ~bit;
        if (mHeldButtons == 0)
            mPressedWidget = nullptr;
        widget->mPressed = false;
        // Relative to the widget itself, as for the down, also when nested.
        const Point origin = widget->ToAbsolutePosition();
        widget->MouseUpCount(x - origin.mX, y - origin.mY, code);
    } else {
        mHeldButtons &= ~bit;
    }
    MouseMove(x, y);
    return true;
}

bool WidgetManager::MouseExit()
{
    mLastInputUpdate = mUpdateCount;
    mMouseInWindow = false;
    if (mHoverWidget != nullptr) {
        Widget* old = mHoverWidget;
        mHoverWidget = nullptr;
        LeaveWidget(old);
    }
    return true;
}

void WidgetManager::MouseWheel(int delta)
{
    mLastInputUpdate = mUpdateCount;
    if (mFocusWidget != nullptr)
        mFocusWidget->MouseWheel(delta);
}

void WidgetManager::SendHeldButtonsUp(Widget* widget, uint32_t bits)
{
    static constexpr struct {
        uint32_t mBit;
        int mCode;
    } kButtons[] = {{1, 1}, {2, -1}, {4, 3}};
    const Point origin = widget->ToAbsolutePosition();
    for (const auto& button : kButtons) {
        if ((bits & button.mBit) == 0)
            continue;
        widget->mPressed = false;
        widget->MouseUpCount(mLastMouseX - origin.mX, mLastMouseY - origin.mY, button.mCode);
    }
}

void WidgetManager::ReleaseHeldButtons()
{
    if (mPressedWidget == nullptr || mHeldButtons == 0)
        return;
    Widget* widget = mPressedWidget;
    const uint32_t bits = mHeldButtons;
    mHeldButtons = 0;
    mPressedWidget = nullptr;
    SendHeldButtonsUp(widget, bits);
}

void WidgetManager::RecheckMouse()
{
    if (mPressedWidget != nullptr) {
        int localX = 0;
        int localY = 0;
        if (mHoverWidget != nullptr && WidgetAt(mLastMouseX, mLastMouseY, &localX, &localY) != mHoverWidget) {
            Widget* old = mHoverWidget;
            mHoverWidget = nullptr;
            LeaveWidget(old);
        }
    } else if (mMouseInWindow) {
        MouseMove(mLastMouseX, mLastMouseY);
    }
}

bool WidgetManager::IsKeyDown(int key) const
{
    return key >= 0 && key < static_cast<int>(mKeyDown.size()) && mKeyDown[static_cast<size_t>(key)];
}

bool WidgetManager::KeyDown(int key)
{
    mLastInputUpdate = mUpdateCount;
    if (key >= 0 && key < static_cast<int>(mKeyDown.size()))
        mKeyDown[static_cast<size_t>(key)] = true;
    if (mFocusWidget != nullptr)
        mFocusWidget->KeyDown(key);
    return true;
}

bool WidgetManager::KeyUp(int key)
{
    mLastInputUpdate = mUpdateCount;
    if (key >= 0 && key < static_cast<int>(mKeyDown.size()))
        mKeyDown[static_cast<size_t>(key)] = false;
    if (key == kKeyTab && IsKeyDown(kKeyControl))
        return true;
    if (mFocusWidget != nullptr)
        mFocusWidget->KeyUp(key);
    return true;
}

bool WidgetManager::KeyChar(char ch)
{
    mLastInputUpdate = mUpdateCount;
    if (ch == kKeyTab && IsKeyDown(kKeyControl)) {
        if (mCtrlTabWidget != nullptr)
            mCtrlTabWidget->KeyChar(ch);
    } else if (mFocusWidget != nullptr) {
        mFocusWidget->KeyChar(ch);
    }
    return true;
}

void WidgetManager::SetFocus(Widget* widget)
{
    if (widget == mFocusWidget)
        return;
    if (mFocusWidget != nullptr)
        mFocusWidget->LostFocus();
    mFocusWidget = widget != nullptr && widget->mManager == this ? widget : nullptr;
    if (mFocusWidget != nullptr && mHasFocus)
        mFocusWidget->GotFocus();
}

void WidgetManager::AppGotFocus()
{
    if (mHasFocus)
        return;
    mHasFocus = true;
    if (mFocusWidget != nullptr)
        mFocusWidget->GotFocus();
}

void WidgetManager::AppLostFocus()
{
    if (!mHasFocus)
        return;
    mDownButtons = 0;
    for (int key = 0; key < static_cast<int>(mKeyDown.size()); ++key) {
        if (mKeyDown[static_cast<size_t>(key)])
            KeyUp(key);
    }
    mHasFocus = false;
    if (mFocusWidget != nullptr)
        mFocusWidget->LostFocus();
}

void WidgetManager::ForgetWidget(Widget* widget)
{
    if (widget == mHoverWidget) {
        mHoverWidget = nullptr;
        LeaveWidget(widget);
    }
    if (widget == mPressedWidget) {
        mPressedWidget = nullptr;
        const uint32_t bits = mHeldButtons;
        mHeldButtons = 0;
        SendHeldButtonsUp(widget, bits);
    }
    if (widget == mFocusWidget) {
        mFocusWidget = nullptr;
        widget->LostFocus();
    }
    if (widget == mModalWidget)
        mModalWidget = nullptr;
}

void WidgetManager::ForgetInModalHistory(Widget* widget)
{
    for (ModalRecord& record : mModalHistory) {
        if (record.mPreviousModal == widget)
            record.mPreviousModal = nullptr;
        if (record.mPreviousFocus == widget)
            record.mPreviousFocus = nullptr;
    }
}

void WidgetManager::SetModalWidget(Widget* widget, const FlagsMod& behindModal)
{
    mModalWidget = widget;
    mBehindModalMod = behindModal;
    if ((behindModal.mRemove & WidgetFlag::MouseInput) != 0) {
        if (mHoverWidget != nullptr && IsBelow(mHoverWidget, widget)) {
            Widget* old = mHoverWidget;
            mHoverWidget = nullptr;
            LeaveWidget(old);
        }
        if (mPressedWidget != nullptr && IsBelow(mPressedWidget, widget)) {
            Widget* pressed = mPressedWidget;
            const uint32_t bits = mHeldButtons;
            mPressedWidget = nullptr;
            mHeldButtons = 0;
            SendHeldButtonsUp(pressed, bits);
        }
    }
    if ((behindModal.mRemove & WidgetFlag::Focusable) != 0 && mFocusWidget != nullptr &&
        IsBelow(mFocusWidget, widget)) {
        Widget* old = mFocusWidget;
        mFocusWidget = nullptr;
        old->LostFocus();
    }
}

void WidgetManager::PushModal(Widget* widget)
{
    PushModal(widget, mDefaultBehindModalMod);
}

void WidgetManager::PushModal(Widget* widget, const FlagsMod& behindModal)
{
    mModalHistory.push_back(ModalRecord{widget, mModalWidget, mFocusWidget, mBehindModalMod});
    SetModalWidget(widget, behindModal);
}

void WidgetManager::PopModal(Widget* widget)
{
    if (mModalHistory.empty() || mModalHistory.back().mWidget != widget)
        return;
    while (!mModalHistory.empty()) {
        const ModalRecord record = mModalHistory.back();
        SetModalWidget(record.mPreviousModal, record.mPreviousBehindModal);
        if (mFocusWidget == nullptr) {
            mFocusWidget = record.mPreviousFocus;
            if (mFocusWidget != nullptr)
                mFocusWidget->GotFocus();
        }
        mModalHistory.pop_back();
        if (record.mPreviousModal != nullptr || mModalHistory.empty())
            break;
    }
}

bool WidgetManager::UpdateFrame()
{
    PassFlags flags = InitPassFlags();
    ++mUpdateCount;
    mUpdateStamp = mUpdateCount;
    UpdateAll(flags);
    return mDirty;
}

bool WidgetManager::UpdateFrameF(float fraction)
{
    PassFlags flags = InitPassFlags();
    UpdateFractionAll(flags, fraction);
    return mDirty;
}

bool WidgetManager::DrawScreen()
{
    PassFlags flags = InitPassFlags();
    const auto dirtyCount = std::count_if(mChildren.begin(), mChildren.end(), [](Widget* w) { return w->mDirty; });
    mLowestPendingLevel = kNoPendingLevel;
    mPendingOverlays.clear();
    Graphics graphics(mScreenImage);
    mCurrentGraphics = &graphics;
    const bool locked = mApp->LockScreenImage(mScreenImage);
    bool drawn = false;
    if (dirtyCount > 0) {
        Graphics screen(graphics);
        screen.Translate(-mScreenRect.mX, -mScreenRect.mY);
        const bool accelerated = mApp->Is3DAccelerated();
        for (Widget* child : mChildren) {
            if (child == mModalWidget)
                flags.mPastModal = true;
            if (!child->mDirty || !child->mVisible)
                continue;
            Graphics copy(screen);
            copy.SetQuickStretch(!accelerated);
            copy.Translate(child->mX, child->mY);
            child->DrawAll(flags, copy);
            child->mDirty = false;
            drawn = true;
        }
    }
    DrawPendingOverlays(kNoPendingLevel);
    if (locked)
        mApp->UnlockScreenImage(mScreenImage);
    mCurrentGraphics = nullptr;
    return drawn;
}

void WidgetManager::DrawPendingOverlays(int32_t limit)
{
    while (!mPendingOverlays.empty()) {
        for (OverlayRequest& request : mPendingOverlays) {
            if (request.mWidget == nullptr || request.mLevel != mLowestPendingLevel)
                continue;
            Graphics copy(*mCurrentGraphics);
            copy.Translate(-mScreenRect.mX, -mScreenRect.mY);
            copy.Translate(request.mWidget->mX, request.mWidget->mY);
            request.mWidget->DrawOverlayPriority(copy, request.mLevel);
            request.mWidget = nullptr;
        }
        mLowestPendingLevel = kNoPendingLevel;
        for (const OverlayRequest& request : mPendingOverlays) {
            if (request.mWidget != nullptr)
                mLowestPendingLevel = std::min(mLowestPendingLevel, request.mLevel);
        }
        if (mLowestPendingLevel == kNoPendingLevel) {
            mPendingOverlays.clear();
            return;
        }
        if (mLowestPendingLevel >= limit)
            return;
    }
}

} // namespace Lumo

#include "framework/app/LumoAppBase.h"

#include "framework/core/DebugPrintf.h"
#include "framework/display/DDInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/process/Clock.h"
#include "platform/sound/PlaySound.h"
#include "platform/windows/Input.h"
#include "platform/windows/Messages.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/Window.h"

namespace Lumo {

using namespace Platform;

namespace {

bool IsMouseMessage(uint32_t message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
}

bool IsQueuedMessage(uint32_t message)
{
    switch (message) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_CLOSE:
    case WM_SYSCOLORCHANGE:
    case WM_ACTIVATEAPP:
    case WM_DISPLAYCHANGE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_TIMER:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return IsMouseMessage(message);
    }
}

bool IsSystemChange(uint32_t message)
{
    return message == WM_SYSCOLORCHANGE || message == WM_DISPLAYCHANGE;
}

} // namespace

LRESULT LumoAppBase::WindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    auto* app = reinterpret_cast<LumoAppBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!app)
        return DefWindowProcA(window, message, wParam, lParam);
    return app->HandleWindowMessage(window, message, wParam, lParam);
}

LRESULT LumoAppBase::DefaultHandling(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT LumoAppBase::HandleWindowMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (mIsScreenSaver) {
        LRESULT answer = 0;
        if (ScreenSaverCheck(window, message, wParam, lParam, &answer))
            return answer;
    }
    if (mNotifyMessage != 0 && message == mNotifyMessage && window == mHWnd) {
        OnSecondInstanceNotify(wParam, lParam);
        return 0;
    }

    switch (message) {
    case WM_DESTROY:
        DebugPrintf("DESTROYED HWND: %d\r\n", int(uintptr_t(window)));
        break;
    case WM_ENABLE:
        mWindowDisabled = wParam == 0;
        break;
    case WM_PAINT:
        if (mInitialized && !mSuspended) {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            if (mRunning)
                PresentFrame(nullptr);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_QUERYOPEN:
        if (!IsActive())
            return 0;
        break;
    case WM_ENDSESSION:
        RequestShutdown();
        break;
    case WM_SETCURSOR:
        if (!mSuspended)
            ApplyCursor();
        return 1;
    case WM_NCLBUTTONDOWN: {
        const LRESULT answer = DefaultHandling(window, message, wParam, lParam);
        ResetTimingDebt();
        return answer;
    }
    case WM_SYSCHAR:
        if (IsReturnOrRKey(int(wParam)))
            return 0;
        break;
    case WM_SYSCOMMAND: {
        const uint32_t command = uint32_t(wParam) & 0xFFF0;
        if (command == SC_MONITORPOWER) {
            mMonitorPowerTime = GetTickCount();
            mMonitorPowerStamped = true;
            if (!mLoadingDoneHandled)
                return 0;
        } else if (command == SC_SCREENSAVE) {
            if (!mLoadingDoneHandled || !mIsWindowed)
                return 0;
        }
        break;
    }
    case WM_ACTIVATEAPP:
        if (!mPlaying && window == mHWnd)
            mActivated = wParam != 0;
        break;
    default:
        break;
    }

    if (IsQueuedMessage(message))
        return QueueInputMessage(window, message, wParam, lParam);
    return DefaultHandling(window, message, wParam, lParam);
}

LRESULT LumoAppBase::QueueInputMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (mBlockInput)
        return DefaultHandling(window, message, wParam, lParam);

    const bool keyDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (keyDown || message == WM_KEYUP || message == WM_SYSKEYUP) {
        if (wParam == VK_CONTROL)
            mCtrlDown = keyDown;
        else if (wParam == VK_MENU)
            mAltDown = keyDown;
        if (keyDown && PreviewKeyDown(int(wParam), mCtrlDown, mAltDown))
            return 0;
    }

    if (mPlaying && !mDemoDialogOpen) {
        if (message == WM_CHAR)
            ApplyPlaybackKey(char(wParam));
        else if (message == WM_KEYDOWN)
            DebugKeyDown(int(wParam));
    }

    bool queue = true;
    if (!mMessageQueue.empty() && mMessageQueue.back().mMessage == WM_CLOSE) {
        queue = false;
    } else if (message == WM_TIMER && !mMessageQueue.empty() && mMessageQueue.back().mMessage == WM_TIMER) {
        return DefaultHandling(window, message, wParam, lParam);
    } else if (IsSystemChange(message)) {
        for (const QueuedMessage& queued : mMessageQueue)
            if (IsSystemChange(queued.mMessage))
                queue = false;
    }
    if (queue)
        mMessageQueue.push_back(QueuedMessage{window, message, wParam, lParam});

    switch (message) {
    case WM_SIZE:
        mLastReportedMinimized = wParam == SIZE_MINIMIZED;
        break;
    case WM_SYSKEYDOWN:
        if (wParam != VK_F4)
            return 0;
        break;
    case WM_CLOSE:
        OnCloseRequested();
        return 0;
    default:
        break;
    }
    return DefaultHandling(window, message, wParam, lParam);
}

void LumoAppBase::ApplyPlaybackKey(char key)
{
    const int total = mDemoTotalUpdates;
    switch (key) {
    case '+':
        mRateMultiplier *= 1.5;
        break;
    case '-':
        mRateMultiplier /= 1.5;
        break;
    case '=':
        mRateMultiplier = 1.0;
        break;
    case 'p':
    case 'P':
        mPaused = !mPaused;
        ResetTimingDebt();
        break;
    case 'n':
    case 'N':
        mJumpTarget = mUpdateCount + 1;
        mStepOne = true;
        break;
    case 'm':
    case 'M':
        mJumpToEnd = true;
        break;
    case 's':
    case 'S':
        ToggleDemoSound();
        break;
    case 'l':
    case 'L':
        ShowMarkerListDialog();
        break;
    case 'j':
    case 'J':
        ShowJumpToTimeDialog();
        break;
    case '4':
        mJumpTarget = total - 120000 / mFrameTime;
        break;
    case '5':
        mJumpTarget = total - 90000 / mFrameTime;
        break;
    case '6':
        mJumpTarget = total - 60000 / mFrameTime;
        break;
    case '7':
        mJumpTarget = total - 30000 / mFrameTime;
        break;
    case '8':
        mJumpTarget = total - 10000 / mFrameTime;
        break;
    case '9':
        mJumpTarget = total - 5000 / mFrameTime;
        break;
    case '0':
        mJumpTarget = total;
        break;
    default:
        break;
    }
}

bool LumoAppBase::ProcessQueuedInput()
{
    if (mMessageQueue.empty())
        return false;
    const QueuedMessage record = mMessageQueue.front();
    mMessageQueue.pop_front();

    if (mRecording && !mShutdown)
        DemoRecordInput(record.mWindow, record.mMessage, record.mWParam, record.mLParam);
    if (!mPlaying || mDemoDialogOpen)
        DispatchQueuedMessage(record);
    if (record.mMessage == WM_CLOSE && (record.mWindow == mHWnd || record.mWindow == mInvisHWnd)) {
        mManualShutdown = true;
        RequestShutdown();
    }
    return !mMessageQueue.empty();
}

void LumoAppBase::DispatchQueuedMessage(const QueuedMessage& record)
{
    switch (record.mMessage) {
    case WM_ACTIVATEAPP:
        if (record.mWindow == mHWnd && !mSuspended && !mShutdown) {
            UpdateActiveState();
            if (mActivated && !mIsWindowed)
                mWidgetManager->MarkAllDirty();
            if (mIsOpeningURL && !mActivated)
                OnUrlOpened(mOpeningURL);
        }
        break;
    case WM_MOVE:
        if (record.mWindow == mHWnd && mIsWindowed) {
            WINDOWPLACEMENT placement;
            if (GetWindowPlacement(mHWnd, &placement) &&
                (placement.showCmd == SW_SHOWNORMAL || placement.showCmd == SW_SHOW)) {
                mPreferredX = placement.rcNormalPosition.left;
                mPreferredY = placement.rcNormalPosition.top;
            }
        }
        break;
    case WM_SIZE: {
        const bool minimized = record.mWParam == SIZE_MINIMIZED;
        if (record.mWindow == mHWnd && !mShutdown && minimized != mMinimized) {
            mMinimized = minimized;
            if (minimized) {
                if (mMuteOnLostFocus)
                    PushMute(true);
            } else {
                if (mMuteOnLostFocus)
                    PopMute(true);
                mWidgetManager->MarkAllDirty();
            }
        }
        mMinimized = minimized;
        UpdateActiveState();
        if (record.mWParam == SIZE_MAXIMIZED)
            ChangeWindowedMode(false);
        break;
    }
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
        mWidgetManager->SysColorChangedAll();
        mWidgetManager->MarkAllDirty();
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        DispatchKeyDown(int(record.mWParam), record.mMessage == WM_SYSKEYDOWN);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        mLastUserInputTick = mLastTimerTime;
        mWidgetManager->KeyUp(int(record.mWParam));
        break;
    case WM_CHAR:
        mLastUserInputTick = mLastTimerTime;
        mWidgetManager->KeyChar(char(record.mWParam & 0xFF));
        break;
    case WM_TIMER:
        if (!mSuspended && mRunning)
            CheckTimers();
        break;
    case WM_MOUSEWHEEL:
        mWidgetManager->MouseWheel(int(int8_t(GET_WHEEL_DELTA_WPARAM(record.mWParam) / WHEEL_DELTA)));
        break;
    default:
        if (IsMouseMessage(record.mMessage) && !mSuspended)
            DispatchMouse(record);
        break;
    }
}

void LumoAppBase::DispatchKeyDown(int key, bool systemKey)
{
    mLastUserInputTick = mLastTimerTime;
    if (key == VK_RETURN && systemKey) {
        if (!mForceFullscreen && !mForceWindowed) {
            ChangeWindowedMode(!mIsWindowed);
            ClearKeyStates();
            return;
        }
    } else if (key == 'D' && mWidgetManager->IsKeyDown(VK_CONTROL) && mWidgetManager->IsKeyDown(VK_MENU)) {
        PlaySoundA(kDebugSound, nullptr, SND_ASYNC);
        mDebugKeysEnabled = !mDebugKeysEnabled;
    }
    if (mDebugKeysEnabled && DebugKeyDown(key))
        return;
    mWidgetManager->KeyDown(key);
}

void LumoAppBase::DispatchMouse(const QueuedMessage& record)
{
    int x = GET_X_LPARAM(record.mLParam);
    int y = GET_Y_LPARAM(record.mLParam);
    mWidgetManager->MapMouseToScreen(&x, &y);
    mLastUserInputTick = mLastTimerTime;
    mWidgetManager->MouseMoveInput(x, y);
    if (!mMouseIn) {
        if (mRecording)
            DemoRecordKind(7);
        mMouseIn = true;
        ApplyCursor();
    }

    const uint32_t held = mWidgetManager->mHeldButtons;
    switch (record.mMessage) {
    case WM_LBUTTONDOWN:
        SetCapture(mHWnd);
        mWidgetManager->MouseDown(x, y, 1);
        break;
    case WM_LBUTTONDBLCLK:
        SetCapture(mHWnd);
        mWidgetManager->MouseDown(x, y, 2);
        break;
    case WM_RBUTTONDOWN:
        SetCapture(mHWnd);
        mWidgetManager->MouseDown(x, y, -1);
        break;
    case WM_RBUTTONDBLCLK:
        SetCapture(mHWnd);
        mWidgetManager->MouseDown(x, y, -2);
        break;
    case WM_MBUTTONDOWN:
        SetCapture(mHWnd);
        mWidgetManager->MouseDown(x, y, 3);
        break;
    case WM_LBUTTONUP:
        if ((held & ~1u) == 0)
            ReleaseCapture();
        mWidgetManager->MouseUp(x, y, 1);
        break;
    case WM_RBUTTONUP:
        if ((held & ~2u) == 0)
            ReleaseCapture();
        mWidgetManager->MouseUp(x, y, -1);
        break;
    case WM_MBUTTONUP:
        if ((held & ~4u) == 0)
            ReleaseCapture();
        mWidgetManager->MouseUp(x, y, 3);
        break;
    default:
        break;
    }
}

void LumoAppBase::CheckTimers()
{
    const uint32_t now = GetTickCount();
    if (now - mLastTimerTime > 500)
        mActivityStartTime = now;
    mLastTimerTime = now;

    if (mIsOpeningURL && now - mActivityStartTime > 5000) {
        if (now - mOpeningURLTime > 8000 && !mActivated)
            OnUrlOpened(mOpeningURL);
        else if (now - mOpeningURLTime > 12000 && mActivated)
            OnUrlOpenFailed(mOpeningURL);
    }

    if (!mDDInterface || !mHWnd)
        return;
    POINT origin;
    ClientToScreen(mHWnd, &origin);
    POINT cursor;
    GetCursorPos(&cursor);
    const bool inside = WindowFromPoint(cursor) == mHWnd && cursor.x >= origin.x && cursor.y >= origin.y &&
                        cursor.x < origin.x + mDDInterface->mWidth && cursor.y < origin.y + mDDInterface->mHeight;
    if (inside == mMouseIn)
        return;
    if (mRecording)
        DemoRecordKind(inside ? 7 : 8);
    if (!inside)
        mWidgetManager->MouseExit();
    mMouseIn = inside;
    ApplyCursor();
}

void LumoAppBase::UpdateActiveState()
{
    const bool active = mActivated && !mMinimized;
    if (active == mActive)
        return;
    mActive = active;
    // Surfaces may have been rebuilt meanwhile: the cursor is scaled afresh.
    mCursorRefresh = true;
    if (active) {
        if (mMuteOnLostFocus)
            PopMute(true);
        mWidgetManager->AppGotFocus();
        OnAppActivated();
    } else {
        if (mMuteOnLostFocus)
            PushMute(true);
        mWidgetManager->AppLostFocus();
        OnAppDeactivated();
        ReleaseCapture();
        mWidgetManager->ReleaseHeldButtons();
    }
}

void LumoAppBase::ClearKeyStates()
{
    for (size_t key = 0; key < 255; ++key)
        mWidgetManager->mKeyDown[key] = false;
    mCtrlDown = false;
    mAltDown = false;
}

} // namespace Lumo

#include "framework/app/LumoAppBase.h"

#include "framework/audio/SoundManager.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/images/AppImageServices.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/process/Clock.h"
#include "platform/windows/Cursor.h"
#include "platform/windows/Input.h"
#include "platform/windows/Messages.h"
#include "platform/process/Process.h"
#include "platform/windows/Window.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

namespace Lumo {

using namespace Platform;

namespace {

constexpr uint32_t kWindowedStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr uint32_t kFullScreenStyle = WS_POPUP | WS_VISIBLE;

// 'X' black outline, 'o' white fill, anything else transparent.
constexpr const char* kPointingHand[] = {
    "", "", "",
    "          XXX",
    "         XoooX",
    "         XoooX",
    "         XoooX",
    "         XoooX",
    "         XoooXXX",
    "         XoooXoooXXX",
    "         XoooXoooXoooXX",
    "     XX  XoooXoooXoooXoX",
    "    XooX XoooooooooooXooX",
    "    XoooXXooooooooooooooX",
    "     XoooXoooooooooooooooX",
    "      XooXoooooooooooooooX",
    "      XoooooooooooooooooX",
    "       XooooooooooooooooX",
    "        XoooooooooooooooX",
    "        XooooooooooooooX",
    "         XooooooooooooX",
    "          XoooooooooooX",
    "          XXXXXXXXXXXXX",
};

constexpr const char* kDraggingHand[] = {
    "", "", "",
    "           XX XX",
    "          XooXooX XX",
    "          XooXooXXooX",
    "       XX XooXooXXooX",
    "      XooXXooXooXXooX",
    "      XooXXooXooXXooX",
    "      XooXXooXooXXooX",
    "      XooXXooooooooooX",
    "      XooooooooooooooX XX",
    "      XoooooooooooooooXooX",
    "      XoooooooooooooooooX",
    "      XooooooooooooooooX",
    "       XoooooooooooooooX",
    "       XooooooooooooooX",
    "        XoooooooooooooX",
    "         XooooooooooooX",
    "         XoooooooooooX",
    "         XXXXXXXXXXXXX",
};

template <size_t Rows>
HCURSOR MakeHandCursor(const char* const (&art)[Rows], int hotX, int hotY)
{
    std::array<uint8_t, 32 * 4> andMask;
    std::array<uint8_t, 32 * 4> xorMask{};
    andMask.fill(0xFF);
    for (size_t row = 0; row < Rows; ++row) {
        for (size_t column = 0; art[row][column] != '\0' && column < 32; ++column) {
            const char pixel = art[row][column];
            if (pixel != 'X' && pixel != 'o')
                continue;
            const size_t byte = row * 4 + column / 8;
            const uint8_t bit = uint8_t(0x80 >> (column % 8));
            andMask[byte] &= uint8_t(~bit);
            if (pixel == 'o')
                xorMask[byte] |= bit;
        }
    }
    return CreateCursor(hotX, hotY, 32, 32, andMask.data(), xorMask.data());
}

} // namespace

RECT LumoAppBase::PlaceWindow(const RECT& outer, const RECT& workArea, int preferredX, int preferredY)
{
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    int x;
    int y;
    if (preferredX != -1) {
        x = std::max(preferredX, workArea.left + 4);
        y = std::max(preferredY, workArea.top + 4);
        if (x + width >= workArea.right - 4)
            x = workArea.right - 4 - width;
        if (y + height >= workArea.bottom - 4)
            y = workArea.bottom - 4 - height;
    } else {
        x = workArea.left + (workArea.right - workArea.left - width) / 2;
        y = workArea.top + int((workArea.bottom - workArea.top - height) * 0.382);
    }
    return RECT{x, y, x + width, y + height};
}

void LumoAppBase::CreateMainWindow()
{
    if (mHWnd) {
        SetWindowLongPtrA(mHWnd, GWLP_USERDATA, 0);
        DestroyWindow(mHWnd);
        mHWnd = nullptr;
        mWidgetManager->mScreenImage = nullptr;
    }

    if (!mPlaying && !mWindowed) {
        mHWnd = CreateWindowExA(WS_EX_TOPMOST, "MainWindow", mTitle.c_str(), kFullScreenStyle, 0, 0, mWidth, mHeight);
        mIsWindowed = false;
    } else {
        RECT outer{0, 0, mWidth, mHeight};
        AdjustWindowRect(&outer, kWindowedStyle);
        RECT workArea;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea);
        const RECT placed = PlaceWindow(outer, workArea, mPreferredX, mPreferredY);
        const int width = placed.right - placed.left;
        const int height = placed.bottom - placed.top;
        if (mPreferredX != -1) {
            mHWnd = CreateWindowExA(0, "MainWindow", mTitle.c_str(), kWindowedStyle, placed.left, placed.top, width,
                                    height);
        } else {
            mHWnd = CreateWindowExA(0, "MainWindow", mTitle.c_str(), kWindowedStyle, 64, 64, width, height);
            MoveWindow(mHWnd, placed.left, placed.top, width, height, false);
        }
        mIsWindowed = true;
    }
    SetWindowLongPtrA(mHWnd, GWLP_USERDATA, LPARAM(this));
    // The window's creation message comes before the window knows the
    // application, so the screen saver's starting point is taken here.
    if (mIsScreenSaver && !mScreenSaverMousePosTaken) {
        mScreenSaverMousePosTaken = true;
        GetCursorPos(&mScreenSaverMousePos);
    }

    if (!mDDInterface)
        mDDInterface = new DDInterface(this);
    int32_t stored3D = 0;
    if (RegistryReadInteger("Is3D", &stored3D)) {
        if (mUse3D) {
            mUse3D = false;
            mTest3D = true;
        }
        if (stored3D != 0)
            mTest3D = true;
        mDDInterface->mIs3D = stored3D != 0;
    }

    mD3DTestRanAfresh = false;
    const int result = InitDisplay();
    if (mD3DTestRanAfresh)
        RegistryEraseValue("Is3D");

    if (mIsWindowed && result == DDInterface::RESULT_INVALID_COLORDEPTH) {
        if (mForceWindowed) {
            ShowFatalErrorA(GetString("PLEASE_SET_COLOR_DEPTH", "Please set your desktop color depth to 16 bit."));
            ExitWithCode(1);
        }
        mForceFullscreen = true;
        ChangeWindowedMode(false);
        return;
    }
    if (!mIsWindowed &&
        (result == DDInterface::RESULT_EXCLUSIVE_FAIL || result == DDInterface::RESULT_DISPCHANGE_FAIL)) {
        // With a window already refused there is no mode left to fall back to.
        if (mForceFullscreen)
            ShowDisplayFailure(result);
        mForceWindowed = true;
        ChangeWindowedMode(true);
    } else if (result == DDInterface::RESULT_3D_FAIL) {
        ResetDisplay(false, true);
    } else if (result != DDInterface::RESULT_OK) {
        if (!mDDInterface->mIs3D)
            ShowDisplayFailure(result);
        ResetDisplay(false, true);
    }

    const bool wasActivated = mActivated;
    mActivated = GetActiveWindow() == mHWnd;
    mLastReportedMinimized = false;
    if (mMinimized) {
        if (mMuteOnLostFocus)
            PopMute(true);
        mMinimized = false;
    }
    UpdateActiveState();
    if (mActivated != wasActivated)
        UpdateActiveState();

    ForEachImageOpA();
    ApplyScreenImage();
    SetTimer(mHWnd, kMainTimerId, uint32_t(mFrameTime));
}

void LumoAppBase::ShowDisplayFailure(int result)
{
    ShowFatalErrorA(GetString("FAILED_INIT_DIRECTDRAW", "Failed to initialize DirectDraw: ") +
                    DDInterface::GetResultName(result) + " " + mDDInterface->mErrorText);
    ExitWithCode(1);
}

int LumoAppBase::InitDisplay()
{
    OnBeforeDisplayInit();
    ForEachImageOpB();
    const int result = mDDInterface->Init(mHWnd, mIsWindowed);
    mRefreshRate = mDDInterface->mRefreshRate;
    if (mRecording) {
        DemoRecordKind(23);
        mDemoBuffer.WriteBool(mWindowed);
        mDemoBuffer.WriteByte(uint8_t(mRefreshRate));
    }
    if (result == DDInterface::RESULT_OK) {
        mScreenRect = Rect{(mWidth - mDDInterface->mWidth) / 2, (mHeight - mDDInterface->mHeight) / 2,
                           mDDInterface->mWidth, mDDInterface->mHeight};
        mWidgetManager->SetScreenRect(mScreenRect, mDDInterface->mPresentRect);
        OnAfterDisplayInit();
    }
    return result;
}

void LumoAppBase::ResetDisplay(bool use3D, bool reinitialise)
{
    if (mDDInterface->mIs3D == use3D)
        return;
    m3DChanged = true;
    mDDInterface->mIs3D = use3D;
    if (!reinitialise)
        return;
    const int result = InitDisplay();
    if (result != DDInterface::RESULT_OK) {
        if (!use3D)
            ShowDisplayFailure(result);
        ResetDisplay(false, reinitialise);
        return;
    }
    ForEachImageOpA();
    ApplyScreenImage();
}

void LumoAppBase::ApplyScreenImage()
{
    mWidgetManager->mScreenImage = mDDInterface->GetScreenImage();
    mWidgetManager->MarkAllDirty();
}

void LumoAppBase::ChangeScreenMode(bool windowed, bool use3D, bool force)
{
    const bool wanted = mForceFullscreen ? false : windowed;
    if (wanted == mWindowed && !force) {
        ResetDisplay(use3D, true);
        return;
    }
    ResetDisplay(use3D, false);
    mWindowed = wanted;
    CreateMainWindow();
    if (!mIsOpeningURL) {
        ShowWindow(mHWnd, SW_SHOWNORMAL);
        SetForegroundWindow(mHWnd);
    } else {
        ShowWindow(mHWnd, SW_SHOWNOACTIVATE);
    }
    if (mSoundManager)
        mSoundManager->SetCooperativeWindow(mHWnd);
    mRunStartTime = timeGetTime();
}

void LumoAppBase::ChangeWindowedMode(bool windowed)
{
    ChangeScreenMode(windowed, Is3DAccelerated(), false);
}

void LumoAppBase::ReapplyScreenMode()
{
    ChangeScreenMode(mWindowed, Is3DAccelerated(), true);
}

void LumoAppBase::SetDisplayOption(bool on)
{
    if (on == mDrawInVideoMemory)
        return;
    mDrawInVideoMemory = on;
    if (!mDDInterface)
        return;
    mDDInterface->SetDrawInVideoMemory(on);
    ApplyScreenImage();
}

void LumoAppBase::ForEachImageOpA()
{
    std::lock_guard<CriticalSectionHolder> hold(mDDInterface->mDisplayLock);
    const std::vector<DDImage*> images(mDDInterface->mSurfaceImageSet.begin(), mDDInterface->mSurfaceImageSet.end());
    for (DDImage* image : images)
        image->ReapplyStorageMode();
}

void LumoAppBase::ForEachImageOpB()
{
    std::lock_guard<CriticalSectionHolder> hold(mDDInterface->mDisplayLock);
    const std::vector<DDImage*> images(mDDInterface->mSurfaceImageSet.begin(), mDDInterface->mSurfaceImageSet.end());
    for (DDImage* image : images)
        image->DeleteNativeData();
    // Plain memory images keep display-format copies too, which a new pixel format would misread.
    for (MemoryImage* image : mImageServices->ImagesInSet()) {
        if (dynamic_cast<DDImage*>(image) == nullptr)
            image->DeleteNativeData();
    }
}

void LumoAppBase::ForEachImageLocked()
{
    std::lock_guard<CriticalSectionHolder> hold(mDDInterface->mDisplayLock);
    const std::vector<DDImage*> images(mDDInterface->mSurfaceImageSet.begin(), mDDInterface->mSurfaceImageSet.end());
    for (DDImage* image : images)
        image->DeleteAllDerivedData();
}

void LumoAppBase::CreateCursors()
{
    mHandCursor = MakeHandCursor(kPointingHand, 11, 4);
    mDraggingCursor = MakeHandCursor(kDraggingHand, 15, 10);
}

void LumoAppBase::ApplyCursor()
{
    if (!mDDInterface)
        return;
    bool changed = false;
    const int number = mCursorNum;
    if (mSuspended || mHidden || !mMouseIn) {
        Platform::SetCursor(LoadCursorA(IDC_ARROW));
        changed = mDDInterface->SetCursorImage(nullptr);
        mSysCursor = true;
    } else if (number >= 0 && number < kCursorCount && mCursorImages[number] &&
               (mPlaying || mCustomCursorsEnabled || number == 12)) {
        changed = mDDInterface->SetCursorImage(mCursorImages[number]);
        if (!mPlaying) {
            Platform::SetCursor(nullptr);
        } else {
            // The recorded mouse is in control; the real one is refused inside.
            POINT cursor;
            GetCursorPos(&cursor);
            ScreenToClient(mHWnd, &cursor);
            const bool inside =
                cursor.x >= 0 && cursor.y >= 0 && cursor.x < mDDInterface->mWidth && cursor.y < mDDInterface->mHeight;
            Platform::SetCursor(LoadCursorA(inside ? IDC_NO : IDC_ARROW));
        }
        mSysCursor = false;
    } else {
        HCURSOR cursor = LoadCursorA(IDC_ARROW);
        switch (number) {
        case 1: cursor = mHandCursor; break;
        case 2: cursor = mDraggingCursor; break;
        case 3: cursor = LoadCursorA(IDC_IBEAM); break;
        case 4: cursor = LoadCursorA(IDC_NO); break;
        case 5: cursor = LoadCursorA(IDC_SIZEALL); break;
        case 6: cursor = LoadCursorA(IDC_SIZENESW); break;
        case 7: cursor = LoadCursorA(IDC_SIZENS); break;
        case 8: cursor = LoadCursorA(IDC_SIZENWSE); break;
        case 9: cursor = LoadCursorA(IDC_SIZEWE); break;
        case 10: cursor = LoadCursorA(IDC_WAIT); break;
        case 11:
        case 12: cursor = nullptr; break;
        default: break;
        }
        Platform::SetCursor(cursor);
        changed = mDDInterface->SetCursorImage(nullptr);
        mSysCursor = true;
    }
    if (changed)
        mForcePresent = true;
}

void LumoAppBase::StartCursorThread()
{
    if (mCursorThreadRunning || !mDDInterface)
        return;
    mCursorThreadRunning = true;
    mCursorThreadStop = false;
    SetThreadPriority(THREAD_PRIORITY_ABOVE_NORMAL);
    mCursorThread = StartThread([this] { CursorThreadLoop(); });
}

void LumoAppBase::CursorThreadLoop()
{
    SetThreadPriority(THREAD_PRIORITY_ABOVE_NORMAL);
    POINT lastSet;
    while (!mShutdown && !mCursorThreadStop) {
        MoveSoftwareCursor(lastSet);
        // Paced by real time: the program's clock may be a test's fake one.
        std::unique_lock<std::mutex> wait(mCursorWakeMutex);
        mCursorWake.wait_for(wait, std::chrono::milliseconds(10), [this] { return mCursorThreadStop.load(); });
    }
    mCursorThreadRunning = false;
}

void LumoAppBase::MoveSoftwareCursor(POINT& lastSet)
{
    POINT position;
    if (mPlaying) {
        position.x = mDemoMouseX;
        position.y = mDemoMouseY;
    } else {
        GetCursorPos(&position);
        ScreenToClient(mHWnd, &position);
    }
    POINT reference = lastSet;
    if (mDrawCount > 0) {
        reference.x = mDDInterface->mCursorX;
        reference.y = mDDInterface->mCursorY;
    }
    if (position.x == reference.x && position.y == reference.y)
        return;
    // Frames are late: the cursor cannot wait for the next one.
    if (int32_t(timeGetTime() - mNextPresentTime) > mDDInterface->mFrameMilliseconds + 5) {
        mDDInterface->SetCursorPos(position.x, position.y);
        lastSet = position;
    } else {
        mDDInterface->mCursorX = position.x;
        mDDInterface->mCursorY = position.y;
    }
}

bool LumoAppBase::ScreenSaverCheck(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    if (mScreenSaverClosing)
        return false;
    switch (message) {
    case WM_SYSCOMMAND: {
        const uint32_t command = uint32_t(wParam) & 0xFFF0;
        if (command == SC_SCREENSAVE || command == SC_CLOSE || command == SC_NEXTWINDOW || command == SC_PREVWINDOW) {
            *answer = 0;
            return true;
        }
        return false;
    }
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (wParam != 0)
            return false;
        break;
    case WM_MOUSEMOVE: {
        POINT position{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &position);
        if (position.x != mScreenSaverMousePos.x || position.y != mScreenSaverMousePos.y) {
            ++mScreenSaverMoves;
            mScreenSaverMousePos = position;
        }
        if (mScreenSaverMoves < 4) {
            *answer = 0;
            return true;
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CLOSE:
        break;
    default:
        return false;
    }

    if (window != mHWnd)
        return false;
    const bool ignorable = message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN && message != WM_MBUTTONDOWN &&
                           message != WM_KEYDOWN && message != WM_SYSKEYDOWN;
    if (ignorable && mMonitorPowerStamped && GetTickCount() - mMonitorPowerTime < 1000)
        return false;
    // No password check stands between the screen saver and the desktop here.
    mScreenSaverClosing = true;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return false;
}

} // namespace Lumo

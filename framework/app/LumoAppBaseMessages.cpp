#include "framework/app/LumoAppBase.h"

#include "framework/core/AppLog.h"
#include "framework/core/StringUtils.h"
#include "framework/display/DDInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/process/Clock.h"
#include "platform/storage/AtomicFile.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Input.h"
#include "platform/windows/Window.h"

#include <ctime>

namespace Lumo {

using namespace Platform;

void LumoAppBase::EnterPopupMode()
{
    if (mIsWindowed)
        return;
    if (mDDInterface && mDDInterface->mDD7)
        mDDInterface->mDD7->FlipToGDISurface();
    mPopUpMode = true;
}

void LumoAppBase::LeavePopupMode()
{
    if (!mIsWindowed)
        mPopUpMode = false;
    ResetTimingDebt();
    ClearKeyStates();
    if (mWidgetManager->mHeldButtons != 0) {
        mWidgetManager->ReleaseHeldButtons();
        ReleaseCapture();
    }
}

int LumoAppBase::ShowMessageBoxA(const std::string& text, const std::string& caption, uint32_t flags)
{
    if (mIsScreenSaver) {
        AppendErrorLog(text);
        return IDOK;
    }
    EnterPopupMode();
    const int answer = MessageBoxA(mHWnd, text.c_str(), caption.c_str(), flags);
    LeavePopupMode();
    return answer;
}

int LumoAppBase::ShowMessageBoxW(const std::wstring& text, const std::wstring& caption, uint32_t flags)
{
    if (mIsScreenSaver) {
        AppendErrorLog(NarrowString(text));
        return IDOK;
    }
    EnterPopupMode();
    const int answer = MessageBoxW(mHWnd, text.c_str(), caption.c_str(), flags);
    LeavePopupMode();
    return answer;
}

void LumoAppBase::TellPlayerOnce(const std::string& text)
{
    if (mToldPlayer.insert(text).second)
        ShowMessageBoxA(text, mTitle, MB_OK | MB_ICONWARNING);
}

void LumoAppBase::ShowFatalErrorA(const std::string& text)
{
    NoteFatalError(text);
    if (mIsScreenSaver) {
        AppendErrorLog(text);
        return;
    }
    EnterPopupMode();
    if (!mShutdown)
        MessageBoxA(mHWnd, text.c_str(), GetString("FATAL_ERROR", "FATAL ERROR").c_str(), MB_ICONERROR);
    LeavePopupMode();
}

void LumoAppBase::ShowFatalErrorW(const std::wstring& text)
{
    NoteFatalError(NarrowString(text));
    if (mIsScreenSaver) {
        AppendErrorLog(NarrowString(text));
        return;
    }
    EnterPopupMode();
    if (!mShutdown)
        MessageBoxW(mHWnd, text.c_str(), WidenString(GetString("FATAL_ERROR", "FATAL ERROR")).c_str(),
                    MB_ICONERROR);
    LeavePopupMode();
}

void LumoAppBase::NoteFatalError(const std::string& text)
{
    // The box may never be seen (shutting down, no desktop to show it on):
    // the log keeps the text and the exit code tells that the run failed.
    AppLog::GetInstance()->Printf(AppLog::kToFile, "%s: %s", GetString("FATAL_ERROR", "FATAL ERROR").c_str(),
                                  text.c_str());
    mExitCode = 1;
}

void LumoAppBase::AppendErrorLog(const std::string& text)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char timeOfDay[16];
    std::strftime(timeOfDay, sizeof(timeOfDay), "%H:%M:%S", &local);
    // The run's lines are written whole each time: the first replaces the
    // file of an earlier run, and no link by the file's name is followed.
    const std::string lines = mErrorLogText + FormatString("%s %s %u\n", text.c_str(), timeOfDay,
                                                           unsigned(GetTickCount()));
    std::string error;
    if (WriteFileAtomically("ScrError.txt", lines, &error, AtLink::kReplace))
        mErrorLogText = lines;
}

void LumoAppBase::PresentFrame(const Rect* area)
{
    if (mDrawing || mShutdown || mIdlePaused || !mDDInterface)
        return;
    if (mDDInterface->Redraw(area)) {
        if (mDisplayLost) {
            mDisplayLost = false;
            mLastRecoveryAttempt = 0;
        }
        return;
    }

    gDisplayWorks = false;
    mDisplayLost = true;
    WINDOWPLACEMENT placement;
    GetWindowPlacement(mHWnd, &placement);
    const uint32_t now = GetTickCount();
    if (!mActive && (!mIsWindowed || now - mLastRecoveryAttempt < 1000))
        return;
    if (placement.showCmd == uint32_t(SW_SHOWMINIMIZED) || mMinimized)
        return;

    mWidgetManager->mScreenImage = nullptr;
    mLastRecoveryAttempt = now;
    const bool fitsDesktop = mWidth < GetSystemMetrics(SM_CXSCREEN) && mHeight < GetSystemMetrics(SM_CYSCREEN);
    if (fitsDesktop || !mWindowed) {
        const int result = InitDisplay();
        if (result == DDInterface::RESULT_INVALID_COLORDEPTH && mIsWindowed) {
            if (mActive) {
                mForceFullscreen = true;
                ChangeWindowedMode(false);
            }
        } else if (result == DDInterface::RESULT_3D_FAIL) {
            ResetDisplay(false, true);
        } else if (result == DDInterface::RESULT_OK) {
            ForEachImageOpA();
            ApplyScreenImage();
        }
    } else if (mForceWindowed) {
        ShowFatalErrorA(GetString("PLEASE_SET_COLOR_DEPTH", "Please set your desktop color depth to 16 bit."));
        RequestShutdown();
    } else {
        mForceFullscreen = true;
        ChangeWindowedMode(false);
    }
}

} // namespace Lumo

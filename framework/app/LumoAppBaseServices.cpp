#include "framework/app/LumoAppBase.h"

#include "framework/StaticInit.h"
#include "framework/core/StopwatchTimer.h"
#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/fonts/SysFont.h"
#include "framework/resources/SharedPak.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogTable.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/process/Clock.h"
#include "platform/process/VersionModule.h"
#include "platform/windows/Cursor.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Input.h"
#include "platform/windows/Window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace Lumo {

using namespace Platform;

namespace {

// Far longer than any present takes.
constexpr std::chrono::milliseconds kSuspendDisplayWait{500};


} // namespace

bool LumoAppBase::OpenUrl(const std::string& url, bool shutDownAfter)
{
    if (mIsOpeningURL && mOpeningURL == url)
        return true;
    mShutdownOnURLOpen = shutDownAfter;
    mIsOpeningURL = true;
    mOpeningURL = url;
    mOpeningURLTime = GetTickCount();
    if (ShellExecuteA("open", url.c_str()) > 32)
        return true;
    OnUrlOpenFailed(url);
    return false;
}

void LumoAppBase::OnUrlOpenFailed(const std::string&)
{
    mIsOpeningURL = false;
}

void LumoAppBase::OnUrlOpened(const std::string&)
{
    mIsOpeningURL = false;
    if (mShutdownOnURLOpen)
        RequestShutdown();
}

std::string LumoAppBase::GetProductVersion(const std::string& path)
{
    const auto infoSize =
        reinterpret_cast<GetFileVersionInfoSizeProc>(GetProcAddress(mVersionModule, "GetFileVersionInfoSizeA"));
    const auto info = reinterpret_cast<GetFileVersionInfoProc>(GetProcAddress(mVersionModule, "GetFileVersionInfoA"));
    const auto query = reinterpret_cast<VerQueryValueProc>(GetProcAddress(mVersionModule, "VerQueryValueA"));
    if (!infoSize || !info || !query)
        return std::string();
    uint32_t handle = 0;
    const uint32_t size = infoSize(path.c_str(), &handle);
    if (size == 0)
        return std::string();
    std::string block(size, '\0');
    if (!info(path.c_str(), handle, size, block.data()))
        return std::string();
    for (const char* subBlock :
         {"\\StringFileInfo\\040904B0\\ProductVersion", "\\StringFileInfo\\040904E4\\ProductVersion"}) {
        void* value = nullptr;
        uint32_t length = 0;
        if (query(block.data(), subBlock, &value, &length) && value)
            return std::string(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
    }
    return std::string();
}

bool LumoAppBase::ReadCrashAttachment(Buffer& buffer)
{
    PakFileHandle* file = PakOpen(gCrashAttachmentPath.c_str(), "rb");
    if (!file)
        return false;
    PakSeek(file, 0, SEEK_END);
    const long size = PakTell(file);
    PakSeek(file, 0, SEEK_SET);
    std::vector<uint8_t> bytes(size_t(std::max(size, 0L)));
    const int read = bytes.empty() ? 0 : PakRead(bytes.data(), 1, int(bytes.size()), file);
    PakClose(file);
    buffer.SetData(bytes.data(), read);
    return true;
}

// Muting through the stack leaves the stored music volume for the settings.
// The crash report calls this while the crashed thread may hold the display
// lock, as it does through every present: the software cursor is then left
// as it is rather than waited for, and only the system's arrow comes back.
void LumoAppBase::SuspendForSystem()
{
    PushMute(true);
    if (mHWnd)
        ShowWindow(mHWnd, SW_HIDE);
    mHidden = true;
    if (!mDDInterface)
        return;
    std::unique_lock<CriticalSectionHolder> hold(mDDInterface->mDisplayLock, std::defer_lock);
    if (hold.try_lock_for(kSuspendDisplayWait)) {
        ApplyCursor();
    } else {
        Platform::SetCursor(LoadCursorA(IDC_ARROW));
        mSysCursor = true;
    }
}

void LumoAppBase::CopyToClipboard(const std::string& text)
{
    if (mPlaying)
        return;
    SetClipboardText(text);
}

std::string LumoAppBase::GetClipboard()
{
    std::string text;
    if (!mPlaying)
        GetClipboardText(&text);
    DemoSyncString(this, text);
    return text;
}

void LumoAppBase::SetCursorNumber(int number)
{
    mCursorNum = number;
    ApplyCursor();
}

void LumoAppBase::SetCursorImage(Image* image)
{
    mCursorImages[0] = image;
    ApplyCursor();
}

void LumoAppBase::EnableCustomCursors(bool on)
{
    mCustomCursorsEnabled = on;
    ApplyCursor();
}

void LumoAppBase::SetDiagnostics(std::unique_ptr<AppDiagnostics> diagnostics)
{
    mDiagnostics = diagnostics ? std::move(diagnostics) : std::make_unique<AppDiagnostics>();
}

bool LumoAppBase::PrepareOverlayImage(DDImage*& image)
{
    if (!mDDInterface)
        return false;
    if (!mOverlayFont)
        mOverlayFont = new SysFont(mImageServices.get(), "Tahoma", 8, 0);
    if (!image) {
        image = new DDImage(mDDInterface);
        image->SetSize(50, mOverlayFont->GetHeight() + 4);
    }
    return true;
}

void LumoAppBase::RepaintOverlayImage(DDImage* image, const std::string& text)
{
    Graphics graphics(image);
    graphics.SetColor(Color(0, 0, 0));
    graphics.FillRect(0, 0, image->GetWidth(), image->GetHeight());
    mOverlayFont->DrawString(&graphics, 2, mOverlayFont->GetAscent(), text, Color(255, 255, 255),
                             Rect{0, 0, image->GetWidth(), image->GetHeight()});
    ++image->bitsChangeCount;
}

void LumoAppBase::DrawFrameRateOverlay()
{
    if (!PrepareOverlayImage(mOverlayImage))
        return;
    ++mOverlayFrames;
    const double elapsed = gFrameRateStopwatch.Elapsed();
    if (elapsed < 1000.0 && !mOverlayFrameRateReset)
        return;
    gFrameRateStopwatch.Start();
    mOverlayFrameRate = mOverlayFrameRateReset || elapsed <= 0.0 ? 0 : int32_t(mOverlayFrames * 1000 / elapsed);
    mOverlayFrameRateReset = false;
    mOverlayFrames = 0;
    RepaintOverlayImage(mOverlayImage, FormatString("FPS: %d", mOverlayFrameRate));
}

void LumoAppBase::DrawMousePositionOverlay(int x, int y)
{
    if (PrepareOverlayImage(mOverlayImage))
        RepaintOverlayImage(mOverlayImage, FormatString("%d,%d", x, y));
}

void LumoAppBase::DrawPlaybackTimeOverlay()
{
    if (!PrepareOverlayImage(mPlaybackOverlayImage) || mRateMultiplier <= 0.0)
        return;
    const uint32_t now = timeGetTime();
    if (now - mPlaybackOverlayRefresh < uint32_t(1000 / mRateMultiplier))
        return;
    mPlaybackOverlayRefresh = now;
    const int64_t seconds = int64_t(mFrameTime) * (mDemoTotalUpdates - mUpdateCount) / 1000;
    RepaintOverlayImage(mPlaybackOverlayImage, FormatString("%02d:%02d:%02d", int(seconds / 3600),
                                                            int(seconds / 60 % 60), int(seconds % 60)));
}

void LumoAppBase::CheckScreensaverIdle(uint32_t now)
{
    if (mIsScreenSaver || !mIsWindowed)
        return;
    if (now - mIdleLastRefresh > 10000) {
        mIdleLastRefresh = now;
        int timeoutSeconds = 0;
        SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeoutSeconds);
        mIdleTimeout = uint32_t(std::max(timeoutSeconds - 2, 1)) * 1000;
        int active = 0;
        SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active);
        mIdleScreenSaverActive = active != 0;
        if (!mIdleScreenSaverActive)
            mIdlePaused = false;
    }
    LASTINPUTINFO input;
    if (GetLastInputInfo(&input))
        mLastUserInputTick = int32_t(input.dwTime - now) > 0 ? now : input.dwTime;
    if (!mIdleScreenSaverActive)
        return;
    const uint32_t idle = now - mLastUserInputTick;
    if (mIdlePaused) {
        int running = 0;
        if (SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running) && running != 0)
            return;
        if (idle < mIdleTimeout) {
            mIdlePaused = false;
            mWidgetManager->MarkAllDirty();
        }
    } else if (idle > mIdleTimeout) {
        mIdlePaused = true;
    }
}

Dialog* LumoAppBase::OpenDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                                const std::string& footer, int buttonMode)
{
    return mDialogs->OpenDialog(id, isModal, header, lines, footer, buttonMode);
}

Dialog* LumoAppBase::FindDialog(int id)
{
    return mDialogs->FindDialog(id);
}

void LumoAppBase::RegisterDialog(Dialog* dialog)
{
    mDialogs->RegisterDialog(dialog);
}

void LumoAppBase::RegisterDialogWithId(int id, Dialog* dialog)
{
    mDialogs->RegisterDialogWithId(id, dialog);
}

void LumoAppBase::CloseDialog(Dialog* dialog)
{
    mDialogs->CloseDialog(dialog);
}

bool LumoAppBase::CloseDialogById(int id)
{
    return mDialogs->CloseDialogById(id);
}

bool LumoAppBase::CloseDialogEx(int id, bool removeWidget, bool deleteDialog)
{
    return mDialogs->CloseDialogEx(id, removeWidget, deleteDialog);
}

int LumoAppBase::DialogCount()
{
    return mDialogs->DialogCount();
}

Dialog* LumoAppBase::MakeDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                                const std::string& footer, int buttonMode)
{
    return new Dialog(this, id, isModal, header, lines, footer, buttonMode);
}

DialogListener* LumoAppBase::GetDialogListener()
{
    return this;
}

void LumoAppBase::OnDialogButtonPressed(int dialogId, int buttonId)
{
    mDialogs->OnDialogButtonPressed(dialogId, buttonId);
}

void LumoAppBase::OnDialogButtonClicked(int dialogId, int buttonId)
{
    mDialogs->OnDialogButtonClicked(dialogId, buttonId);
}

} // namespace Lumo

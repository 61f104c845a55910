#include "framework/app/LumoAppBase.h"

#include "framework/app/AppDiagnosticsHost.h"
#include "framework/audio/BassMusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/core/AppLog.h"
#include "framework/core/DebugPrintf.h"
#include "framework/core/PathUtils.h"
#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"
#include "framework/core/StringUtils.h"
#include "framework/core/SystemVersion.h"
#include "framework/core/UserDataFolder.h"
#include "framework/diagnostics/CrashHandler.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/StaticInit.h"
#include "framework/graphics/fonts/Font.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "framework/resources/PakInterface.h"
#include "framework/widgets/DialogTable.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/process/Clock.h"
#include "platform/windows/Cursor.h"
#include "platform/windows/Dialogs.h"
#include "platform/storage/Folders.h"
#include "platform/process/InstanceMutex.h"
#include "platform/windows/Messages.h"
#include "platform/process/Process.h"
#include "platform/storage/Registry.h"
#include "platform/windows/Window.h"

#include <cstring>
#include <mutex>

namespace Lumo {

using namespace Platform;

LumoAppBase* gLumoApp = nullptr;
LumoAppBase* gLumoAppForDiagnostics = nullptr;
std::atomic<bool> gDisplayWorks{true};

namespace {

constexpr const char* kDirectXDownload = "https://zentrova.example/directx";

} // namespace

LumoAppBase::LumoAppBase() : mDiagnostics(std::make_unique<AppDiagnostics>())
{
    gLumoApp = this;
    AppLog::GetInstance()->Open("");

    mVersionModule = LoadLibraryA("version.dll");
    mDirectDrawModule = LoadLibraryA("ddraw.dll");
    mDirectSoundModule = LoadLibraryA("dsound.dll");
    ImageLib::LoadJ2KCodec();

    const std::string programPath = GetModuleFileNameA();
    mProductVersion = GetProductVersion(programPath);
    mProgramFolder = PathDirectoryPart(programPath);

    mCreationTick = GetTickCount();
    mLastPresentTime = mNextPresentTime = timeGetTime();

    // Channels of the default format until a display reports its own.
    mDefaultNativeDisplay.mBitsPerPixel = 32;
    mDefaultNativeDisplay.mRedMask = 0x00FF0000;
    mDefaultNativeDisplay.mGreenMask = 0x0000FF00;
    mDefaultNativeDisplay.mBlueMask = 0x000000FF;
    mDefaultNativeDisplay.mRedBits = mDefaultNativeDisplay.mGreenBits = mDefaultNativeDisplay.mBlueBits = 8;
    mDefaultNativeDisplay.mRedShift = 16;
    mDefaultNativeDisplay.mGreenShift = 8;
    mDefaultNativeDisplay.mBlueShift = 0;

    for (int i = 0; i < 512; ++i)
        mAdd8BitMaxTable[i] = uint8_t(i < 256 ? i : 255);

    SetString("DIALOG_BUTTON_OK", L"OK");
    SetString("DIALOG_BUTTON_CANCEL", L"CANCEL");
    SetString("UPDATE_CHECK_TITLE", L"Update Check");
    SetString("UPDATE_CHECK_BODY", L"Checking if there are any updates available for this product ...");
    SetString("UP_TO_DATE_TITLE", L"Up to Date");
    SetString("UP_TO_DATE_BODY", L"There are no updates available for this product at this time.");
    SetString("NEW_VERSION_TITLE", L"New Version");
    SetString("NEW_VERSION_BODY", L"There is an update available for this product.  Would you like to visit the "
                                  L"web site to download it?");

    mImageServices = std::make_unique<AppImageServices>(*this);
    ImageHost::Install(this);
    mWidgetManager = new WidgetManager(this);
    mDialogs = std::make_unique<DialogTable>(*mWidgetManager, *this, *this);

    if (GetSystemMetrics(SM_TABLETPC) != 0) {
        mTabletPC = true;
        mPageFlip = false;
    }
    gLumoAppForDiagnostics = this;
    AppDiagnosticsHost::Attach(this);
}

LumoAppBase::~LumoAppBase()
{
    RequestShutdown();

    bool asked = false;
    if (m3DChanged && mDDInterface) {
        int32_t stored = 0;
        if (RegistryReadInteger("Is3D", &stored) || Is3DTestClean()) {
            RegistryWriteBoolean("Is3D", mDDInterface->mIs3D);
        } else if (mDDInterface->mIs3D) {
            asked = true;
            const std::string caption =
                mCompanyName + " " + GetString("HARDWARE_ACCEL_CONFIRMATION", "Hardware Acceleration Confirmation");
            const std::string text = GetString(
                "HARDWARE_ACCEL_SWITCHED_ON",
                "Hardware Acceleration was switched on during this session.\r\nIf this resulted in slower "
                "performance, it should be switched off.\r\nWould you like to keep Hardware Acceleration switched on?");
            const bool keep = MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO) == IDYES;
            mDDInterface->mIs3D = keep;
            if (keep)
                RegistryWriteBoolean("Is3D", true);
        }
    }
    if (!asked && D3DInterface::gD3DDrawFailed.load() && !mIsScreenSaver) {
        const std::string caption =
            mCompanyName + " " + GetString("HARDWARE_ACCEL_CONFIRMATION", "Hardware Acceleration Confirmation");
        const std::string text = GetString(
            "HARDWARE_ACCEL_NOT_WORKING",
            "Hardware Acceleration may not have been working correctly during this session.\r\nIf you noticed "
            "graphics problems, you may want to turn off Hardware Acceleration.\r\nWould you like to keep Hardware "
            "Acceleration switched on?");
        if (MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO) == IDNO)
            RegistryWriteBoolean("Is3D", false);
    }

    // Closing queues each dialog for deletion; at depth 0 the queue empties.
    mDialogs->CloseAllDialogs();
    ProcessDeferredDeletes();

    if (mInvisHWnd) {
        SetWindowLongPtrA(mInvisHWnd, GWLP_USERDATA, 0);
        DestroyWindow(mInvisHWnd);
    }
    mDialogs.reset();
    delete mWidgetManager;
    mWidgetManager = nullptr;
    delete mOverlayImage;
    delete mPlaybackOverlayImage;
    delete mOverlayFont;
    // Shared images still held are display images too: they go now, while
    // their display exists.
    {
        std::lock_guard<CriticalSectionHolder> hold(GetDisplayLock());
        mImageServices->GetSharedImages().DeleteAllImages();
    }

    delete mDDInterface;
    mDDInterface = nullptr;
    mMusicInterface.reset();
    mSoundManager.reset();
    if (mHWnd) {
        SetWindowLongPtrA(mHWnd, GWLP_USERDATA, 0);
        DestroyWindow(mHWnd);
    }

    StopThreads();
    if (mHandCursor)
        DestroyCursor(mHandCursor);
    if (mDraggingCursor)
        DestroyCursor(mDraggingCursor);
    if (&ImageHost::Current() == static_cast<ImageHost*>(this))
        ImageHost::Install(nullptr);
    gLumoApp = nullptr;
    gLumoAppForDiagnostics = nullptr;
    AppDiagnosticsHost::Attach(nullptr);
    DemoFinish();
    if (mMutex)
        CloseHandle(mMutex);
    FreeLibrary(mDirectDrawModule);
    FreeLibrary(mDirectSoundModule);
    FreeLibrary(mVersionModule);
    AppLog::GetInstance()->Close();
}

void LumoAppBase::Initialize()
{
    mMainThreadId = GetCurrentThreadId();
    if (mShutdown)
        return;

    if (!mDirectDrawModule) {
        const std::string caption = GetString("YOU_NEED_DIRECTX", "You need DirectX");
        const std::string text =
            GetString("APP_REQUIRES_DIRECTX",
                      std::string("This application requires DirectX to run.  You can get DirectX at ") +
                          kDirectXDownload);
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONSTOP);
        ExitWithCode(1);
    }

    OnInitializeStart();
    LoadSettings();

    if (UseDataFolder())
        mDemoFileName = MakeDemoPathAbsolute(mDemoFileName);

    if (!mCommandLineRead)
        ReadCommandLine();
    if (mIsScreenSaver)
        mOnlyAllowOneCopy = false;

    if (!KeepWorkingFolder(mProgramFolder))
        SetCurrentDirectoryA(mProgramFolder.c_str());

    if (gPakInterface)
        gPakInterface->MountArchive("main.pak");

    mNotifyMessage = RegisterWindowMessageA(("Notify" + mProductName).c_str());
    bool alreadyExists = false;
    mMutex = CreateMutexA((mProductName + "Mutex").c_str(), &alreadyExists);
    if (alreadyExists)
        NotifyFirstInstanceAndExit();

    mRandSeed = GetTickCount();
    SeedRandom(mRandSeed);
    if (mPlaying) {
        std::string error;
        if (!OpenDemoFile(error)) {
            mPlaying = false;
            ShowFatalErrorA(error);
            ExitWithCode(1);
        }
    }
    // The runtime generator takes the run's seed as well (the tick count of
    // the same start-up): a demo stores only that one, and a replay must draw
    // the same numbers from both.
    SRand(mRandSeed);

    WNDCLASSA mainClass;
    mainClass.style = CS_DBLCLKS;
    mainClass.lpfnWndProc = &LumoAppBase::WindowProc;
    mainClass.lpszClassName = "MainWindow";
    RegisterClassA(&mainClass);
    WNDCLASSA invisibleClass;
    invisibleClass.lpfnWndProc = &LumoAppBase::WindowProc;
    invisibleClass.lpszClassName = "InvisWindow";
    RegisterClassA(&invisibleClass);

    mInvisHWnd = CreateWindowExA(0, "InvisWindow", mTitle.c_str(), 0, 0, 0, 0, 0);
    SetWindowLongPtrA(mInvisHWnd, GWLP_USERDATA, LPARAM(this));

    CreateCursors();
    OnWindowClassesReady();

    const Rect playArea{0, 0, mWidth, mHeight};
    mWidgetManager->SetScreenRect(playArea, playArea);

    if (mWindowed && (mWidth >= GetSystemMetrics(SM_CXSCREEN) || mHeight >= GetSystemMetrics(SM_CYSCREEN))) {
        mWindowed = false;
        mForceFullscreen = true;
    }

    CreateMainWindow();

    if (mPlaying && DemoReadRecordHeader() && !mDemoIsShort && mDemoCommand == 23) {
        mDemoNeedsHeader = true;
        ReadDemoDisplayMode();
    }

    if (!mSoundManager)
        mSoundManager = std::make_unique<SoundManager>(mHWnd, mDirectSoundModule);
    SetSfxVolume(mSfxVolume);
    mMusicInterface = MakeMusicPlayer(mInvisHWnd);
    SetMusicVolume(mMusicVolume);

    if (mIsScreenSaver) {
        mCursorNum = 11;
        ApplyCursor();
    }
    OnInitialized();
    mInitialized = true;
}

void LumoAppBase::Run()
{
    if (mShutdown)
        return;

    StartCursorThread();
    StartLoadingThread();
    ShowWindow(mHWnd, SW_SHOW);
    SetFocus(mHWnd);

    mRunStartTime = timeGetTime();
    mLastUserInputTick = mRunStartTime;
    mLastTimerTime = mRunStartTime;
    mRunning = true;

    RunUntilShutdown();
    ProcessDeferredDeletes();
    mRunning = false;

    WaitForLoadingThread();

    const uint32_t runTime = timeGetTime() - mRunStartTime;
    DebugPrintf("Seconds       = %g\r\n", runTime / 1000.0);
    DebugPrintf("Sleep Count   = %d\r\n", mSleepCount);
    DebugPrintf("Update Count  = %d\r\n", mUpdateCount);
    DebugPrintf("Draw Count    = %d\r\n", mDrawCount.load());
    DebugPrintf("Draw Time     = %d\r\n", mDrawTime);
    DebugPrintf("Screen Blt    = %d\r\n", mScreenBltTime);
    if (mDrawTime + mScreenBltTime > 0)
        DebugPrintf("Avg FPS       = %d\r\n", mDrawCount.load() * 1000 / (mDrawTime + mScreenBltTime));

    OnRunFinished();
    if (mSettingsLoaded)
        SaveSettings();
}

void LumoAppBase::RequestShutdown()
{
    if (mMainThreadId != 0 && GetCurrentThreadId() != mMainThreadId) {
        mShutdownFromOtherThread = true;
        return;
    }
    if (mShutdown)
        return;
    mExitToTop = true;
    mShutdown = true;

    OnBeforeShutdown();
    if (mPlaying) {
        SetMusicVolume(mDemoMusicVolume);
        SetSfxVolume(mDemoSfxVolume);
    }
    if (mCursorThread.joinable()) {
        mCursorThreadStop = true;
        mCursorThread.join();
    }
    if (mMusicInterface)
        mMusicInterface->StopAllMusic();
    if (!mIsWindowed && mDDInterface && mDDInterface->mDD7)
        mDDInterface->mDD7->RestoreDisplayMode();
    if (mHWnd)
        ShowWindow(mHWnd, SW_HIDE);
    if (mSaveSettingsAtShutdown)
        SaveSettings();
    ImageLib::UnloadJ2KCodec();
}

void LumoAppBase::NotifyFirstInstanceAndExit()
{
    if (!mOnlyAllowOneCopy)
        return;
    // What holds the lock may have no window to bring forward (a copy of the
    // program left behind, or one that reads no messages): the person hears
    // why nothing shows.
    if (mNotifyMessage == 0 || !PostMessageA(HWND_BROADCAST, mNotifyMessage, 0, 0)) {
        ShowFatalErrorA(mProductName + " is running already but shows no window. Wait for it to end, or end it, "
                                       "then start again.");
        ExitWithCode(1);
    }
    ExitWithCode(0);
}

void LumoAppBase::OnSecondInstanceNotify(WPARAM wParam, LPARAM)
{
    if (wParam != 0 || !mHWnd)
        return;
    if (IsIconic(mHWnd))
        ShowWindow(mHWnd, SW_RESTORE);
    SetForegroundWindow(mHWnd);
}

std::string LumoAppBase::AppDataFolder() const
{
    std::string path;
    if (SHGetFolderPathA(CSIDL_COMMON_APPDATA, &path) != S_OK)
        return std::string();
    const std::string& middle = mDataFolderName.empty() ? mCompanyName : mDataFolderName;
    return RemoveTrailingSlash(path) + "\\" + middle + "\\" + mProductName + "\\";
}

bool LumoAppBase::UseDataFolder()
{
    const std::string folder = IsWindowsMajor6OrLater() ? AppDataFolder() : std::string();
    if (folder.empty() || mDataFolderUsed)
        return !folder.empty();
    mDataFolderUsed = true;
    const std::string native = NativePath(folder);
    // First, as it cannot fail: the earliest fault's report has somewhere to go.
    SetCrashReportFallbackFolder(native);
    SetUserDataFolder(folder);
    // Said once here; each file that then cannot be saved says so again.
    if (!CreateFolderPath(native) || !CanWriteInFolder(native))
        AppLog::GetInstance()->Printf(AppLog::kToFile,
                                      "The data folder \"%s\" cannot be written: player data, demos "
                                      "and screenshots will not be saved",
                                      native.c_str());
    // Where the working folder takes no log, the data folder does.
    if (AppLog::GetInstance()->OpenFailed())
        AppLog::GetInstance()->Open("");
    return true;
}

void LumoAppBase::ExitWithCode(uint32_t code)
{
    ExitProcess(code);
}

std::unique_ptr<MusicInterface> LumoAppBase::MakeMusicPlayer(HWND window)
{
    return BassMusicInterface::Create(window);
}

bool LumoAppBase::KeepWorkingFolder(const std::string&)
{
    return false;
}

std::string LumoAppBase::ExtraInfoText()
{
    return std::string();
}

bool LumoAppBase::ReservedQuery(int, int)
{
    return false;
}

bool LumoAppBase::IsActive()
{
    return !mWindowDisabled;
}

bool LumoAppBase::PreviewKeyDown(int, bool, bool)
{
    return false;
}

bool LumoAppBase::IsReturnOrRKey(int key)
{
    return key == 13 || key == 'r' || key == 'R';
}

void LumoAppBase::SetString(const std::string& id, const std::wstring& text)
{
    mStringTable[id] = text;
}

std::string LumoAppBase::GetString(const std::string& id, const std::string& defaultText) const
{
    const auto found = mStringTable.find(id);
    return found == mStringTable.end() ? defaultText : NarrowString(found->second);
}

void LumoAppBase::StartLoadingThread()
{
    if (mLoadingStarted)
        return;
    if (mLoadingThread.joinable())
        mLoadingThread.join();
    // A reload ends with a loading-done record of its own: a replay holds its
    // transition until that one, not the first load's.
    mDemoLoadingComplete = false;
    mLoadingRunning = true;
    SetThreadPriority(THREAD_PRIORITY_ABOVE_NORMAL);
    mLoadingThread = StartThread([this] {
        RunLoadingThread();
        DebugPrintf("Resource Loading Time: %d\r\n", int(GetTickCount() - mCreationTick));
        mLoadingFinished = true;
    });
    mLoadingStarted = true;
}

void LumoAppBase::WaitForLoadingThread()
{
    // Joining is the wait: the thread's last act is to mark loading finished.
    if (mLoadingStarted && mLoadingThread.joinable())
        mLoadingThread.join();
}

double LumoAppBase::LoadingProgress()
{
    if (mLoadingFinished)
        return 1.0;
    const int32_t count = mLoadingTaskCount;
    if (!mLoadingStarted || count == 0)
        return 0.0;
    const double progress = double(mLoadingTasksDone) / count;
    return progress > 1.0 ? 1.0 : progress;
}

void LumoAppBase::StopThreads()
{
    mCursorThreadStop = true;
    if (mCursorThread.joinable())
        mCursorThread.join();
    if (mLoadingThread.joinable())
        mLoadingThread.join();
}

} // namespace Lumo

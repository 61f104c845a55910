#pragma once

#include "framework/app/AppDiagnostics.h"
#include "framework/core/Buffer.h"
#include "framework/core/CriticalSectionHolder.h"
#include "framework/display/DisplayAppHost.h"
#include "framework/graphics/images/AppImageHost.h"
#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/NativeDisplay.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/Point.h"
#include "framework/widgets/WidgetAppHost.h"
#include "platform/storage/Files.h"
#include "platform/process/Modules.h"
#include "platform/windows/WindowTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace Lumo {

class DDImage;
class DDInterface;
class DialogTable;
class MusicInterface;
class SoundManager;
class WidgetManager;

// A marker of a played demo: a name and the update it stands at.
struct DemoMarker {
    std::string mName;
    int32_t mUpdate = 0;
};

// The application object: one per process, reached through gLumoApp. It owns
// the windows, the widget manager, the display, the sound and music players,
// the dialogs, the demo records, the string table, the loading and cursor
// threads, the input queue and the main loop.
class LumoAppBase : public ButtonListener,
                    public DialogListener,
                    public WidgetAppHost,
                    public DisplayAppHost,
                    public AppImageHost,
                    public ImageHost {
public:
    static constexpr uint32_t kMainTimerId = 100;
    static constexpr int kCursorCount = 13;
    // Acknowledges switching the debug keys and a successful value re-read.
    static constexpr const char* kDebugSound = "c:\\windows\\media\\Windows XP Menu Command.wav";

    LumoAppBase();
    ~LumoAppBase() override;
    LumoAppBase(const LumoAppBase&) = delete;
    LumoAppBase& operator=(const LumoAppBase&) = delete;

    // Main loop (LumoAppBaseLoop.cpp).
    virtual bool RunTimingStep(bool allowSleep);
    bool RestStep(double stepMs, bool allowSleep, bool draw);
    virtual void UpdateFrames();
    virtual bool UpdateTick();
    virtual void UpdateFraction(float fraction);
    virtual bool DrawFrame();
    virtual void RunUntilShutdown();
    bool PumpAndStep(bool* updated) override;
    virtual bool StepUntilIdle();
    void AccumulateTimingDebt();
    void ResetTimingDebt();
    void DeferDelete(Widget* widget) override;
    void ProcessDeferredDeletes();

    // Main window, display and cursor (LumoAppBaseWindow.cpp).
    virtual void CreateMainWindow();
    virtual int InitDisplay();
    void ResetDisplay(bool use3D, bool reinitialise);
    virtual void ChangeScreenMode(bool windowed, bool use3D, bool force);
    virtual void ChangeWindowedMode(bool windowed);
    virtual void ReapplyScreenMode();
    virtual void SetDisplayOption(bool on);
    virtual void ApplyCursor();
    virtual void ForEachImageOpA();
    virtual void ForEachImageOpB();
    virtual void ForEachImageLocked();
    void StartCursorThread();
    // One pass of the cursor thread; lastSet is the position it last drew.
    void MoveSoftwareCursor(Platform::POINT& lastSet);
    // The outer rectangle of a window of the play area's size, placed in the
    // work area: at the preferred position pulled 4 pixels inside, or centred
    // across with 38.2 % of the free height above.
    static Platform::RECT PlaceWindow(const Platform::RECT& outer, const Platform::RECT& workArea, int preferredX,
                                      int preferredY);

    // Life cycle (LumoAppBase.cpp).
    virtual void Initialize();
    virtual void Run();
    virtual void RequestShutdown();
    virtual void OnSecondInstanceNotify(Platform::WPARAM wParam, Platform::LPARAM lParam);
    virtual void NotifyFirstInstanceAndExit();
    [[noreturn]] void ExitWithCode(uint32_t code);
    // The program's exit code once Run has returned: 1 after a fatal error.
    uint32_t ExitCode() const { return mExitCode; }
    // The folder of the user's files: the application-data folder, the
    // data-folder name (the company name when none is set) and the product
    // name, in "\" form and ending in one; empty when the system has none.
    std::string AppDataFolder() const;
    // Takes that folder into use: the user data folder, the log's where the
    // working folder takes none, and the crash report's where the working
    // folder takes none. Done once, by the first call: the game calls it as
    // soon as its names are set, so that a fault early in its start has the
    // fallback; Initialize calls it for an application that did not. False
    // when the system has no such folder.
    bool UseDataFolder();
    virtual std::unique_ptr<MusicInterface> MakeMusicPlayer(Platform::HWND window);
    virtual bool KeepWorkingFolder(const std::string& folder);
    virtual std::string ExtraInfoText();
    virtual bool ReservedQuery(int first, int second);
    virtual bool IsActive();

    // Hooks of the game; empty here.
    virtual void OnLoadingDone() {}
    virtual void OnInitialized() {}
    virtual void OnBeforeShutdown() {}
    virtual void OnRunFinished() {}
    virtual void RunLoadingThread() {}
    virtual void OnWindowClassesReady() {}
    virtual void OnBeforeDisplayInit() {}
    virtual void OnAfterDisplayInit() {}
    virtual void OnAppActivated() {}
    virtual void OnAppDeactivated() {}
    virtual void OnCloseRequested() {}
    virtual void OnHardwareTestRan() {}
    virtual void OnInitializeStart() {}
    virtual void AddCrashReportFields(std::map<std::string, std::string>& fields) { (void)fields; }
    virtual bool PreviewKeyDown(int key, bool ctrlDown, bool altDown);
    virtual bool IsReturnOrRKey(int key);
    // The debug keys, while they are switched on; true swallows the key.
    virtual bool DebugKeyDown(int key);
    // The short session text of a crash report.
    virtual std::string BuildSessionInfo();
    // The screen as the next free "image<n>.png" of "_screenshots".
    void WriteScreenshot();
    // Every image in memory, as "_dump\imagelist.html" with a copy and a
    // thumbnail of each.
    void DumpImages();
    // The display, image and sound figures in a message box.
    void BuildVideoStats();

    // String table and loading thread.
    void SetString(const std::string& id, const std::wstring& text);
    std::string GetString(const std::string& id, const std::string& defaultText) const;
    void StartLoadingThread();
    void WaitForLoadingThread();
    virtual double LoadingProgress();

    // Window procedure and input queue (LumoAppBaseWindowProc.cpp).
    static Platform::LRESULT WindowProc(Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                        Platform::LPARAM lParam);
    virtual Platform::LRESULT HandleWindowMessage(Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                                  Platform::LPARAM lParam);
    bool ProcessQueuedInput();
    void UpdateActiveState();
    void ClearKeyStates();
    size_t QueuedMessageCount() const { return mMessageQueue.size(); }

    // Registry settings (LumoAppBaseSettings.cpp).
    bool RegistryWrite(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length);
    bool RegistryWriteString(const std::string& name, const std::string& text);
    bool RegistryWriteInteger(const std::string& name, int32_t value);
    bool RegistryWriteBoolean(const std::string& name, bool value);
    bool RegistryRead(const std::string& name, uint32_t* type, uint8_t* buffer, uint32_t* length);
    bool RegistryReadString(const std::string& name, std::string* text);
    bool RegistryReadInteger(const std::string& name, int32_t* value);
    bool RegistryReadBoolean(const std::string& name, bool* value);
    void RegistryEraseValue(const std::string& name);
    virtual void LoadSettings();
    virtual void SaveSettings();

    // Command line (LumoAppBaseCommandLine.cpp).
    virtual void ReadCommandLine();
    virtual void SplitCommandLine(const std::string& text);
    virtual void ApplyCommandLineSwitch(const std::string& name, const std::string& value);
    // The highest n of the files prefix + n + ".dmo" in the user data folder
    // (0 when none); with deleteOldest, removes the lowest once more than
    // limit - 1 exist.
    static int32_t FindHighestDemoNumber(const std::string& prefix, int32_t limit, bool deleteOldest);
    // Puts the user data folder before a name that is not absolute.
    static std::string MakeDemoPathAbsolute(const std::string& name);

    // Message boxes, fatal errors and presenting (LumoAppBaseMessages.cpp).
    virtual void EnterPopupMode();
    virtual void LeavePopupMode();
    virtual int ShowMessageBoxA(const std::string& text, const std::string& caption, uint32_t flags);
    virtual int ShowMessageBoxW(const std::wstring& text, const std::wstring& caption, uint32_t flags);
    // A warning under the title that the player sees once in a run, however
    // often it is asked for.
    void TellPlayerOnce(const std::string& text);
    void ShowFatalErrorA(const std::string& text) override;
    virtual void ShowFatalErrorW(const std::wstring& text);
    virtual void AppendErrorLog(const std::string& text);
    // The whole frame when area is null.
    virtual void PresentFrame(const Rect* area);

    // Sound and volumes (LumoAppBaseAudio.cpp).
    virtual void PlaySoundPanned(int id, int pan);
    virtual void PlaySoundById(int id);
    virtual float GetSystemVolume();
    virtual float GetMusicVolume();
    virtual float GetSfxVolume();
    virtual bool IsMuted();
    virtual void SetSystemVolume(float volume);
    virtual void SetMusicVolume(float volume);
    virtual void SetSfxVolume(float volume);
    virtual void PushMute(bool automatic);
    virtual void PopMute(bool automatic);

    // Images (LumoAppBaseImages.cpp).
    virtual MemoryImage* CreateImageFromFile(const std::string& name, const std::string& alphaName,
                                             bool commitBits);
    virtual MemoryImage* CreateImageFromFileAlt(const std::string& name, bool commitBits);
    void SubloadImage(MemoryImage* image, const std::string& fileName);
    MemoryImage* DuplicateImage(MemoryImage* image);
    virtual SharedImageRef FindOrLoadSharedImage(const std::string& name, const std::string& variant,
                                                 bool* isNew);
    bool Is3DAccelerated() override;
    bool Is3DTestPassed();
    bool Is3DTestClean();
    void AddImageToSet(MemoryImage* image) override;
    void RemoveImageFromSet(MemoryImage* image) override;
    void DropImageTextures(MemoryImage* image) override;
    NativeDisplay* GetNativeDisplay() override;
    bool CopyTexturesToBits(MemoryImage* image) override;
    TriangleRasterizer* GetTriangleRasterizer() override;
    MemoryImage* CreateDisplayImage() override;
    CriticalSectionHolder& GetDisplayLock() override;
    void RemoveImageTextures(MemoryImage* image) override;
    ImageHost* GetImageHost() override;
    Platform::HMODULE GetDirectDrawModule() override;
    void NewD3DTestResult() override;
    bool IsMinimized() override;
    void StoreD3DRuntimeError(const std::string& text) override;
    std::string GetRegistryKey() override;
    bool IsPlayingBackDemo() override;
    void SyncD3DTestResult(std::string& failure, std::string& warning, bool& firstTest) override;
    AppImageServices& GetImageServices() { return *mImageServices; }

    // Small services (LumoAppBaseServices.cpp).
    virtual bool OpenUrl(const std::string& url, bool shutDownAfter);
    virtual void OnUrlOpenFailed(const std::string& url);
    virtual void OnUrlOpened(const std::string& url);
    virtual std::string GetProductVersion(const std::string& path);
    virtual void SuspendForSystem();
    // The whole file a crash report attaches; false when it cannot be opened.
    bool ReadCrashAttachment(Buffer& buffer);
    void CopyToClipboard(const std::string& text) override;
    std::string GetClipboard() override;
    void SetCursorNumber(int number);
    void SetCursorImage(Image* image);
    void EnableCustomCursors(bool on);
    void SetDiagnostics(std::unique_ptr<AppDiagnostics> diagnostics);
    // Frame overlays and the screensaver idle pause.
    void DrawFrameRateOverlay();
    void DrawMousePositionOverlay(int x, int y);
    void DrawPlaybackTimeOverlay();
    void CheckScreensaverIdle(uint32_t now);

    // Demo exchange (LumoAppBaseDemo.cpp).
    void DemoRecordSync();
    bool DemoReadRecordHeader();
    void DemoSyncBuffer(Buffer& data);
    static void DemoSyncString(LumoAppBase* app, std::string& text);
    static void DemoSyncBool(bool& flag);
    // For a value the run takes from outside, such as a seed from the clock.
    static void DemoSyncInteger(int32_t& value);
    // The record of one queued input message, written before it is dispatched.
    // Reads the demo file for playback; false with the message in error.
    bool OpenDemoFile(std::string& error);
    // Writes the demo file when recording.
    void DemoFinish();
    // Applies every record due at the current update count.
    void DemoPlaybackStep();
    void ToggleDemoSound();
    // The playback dialogs' work: the entries of the markers still ahead, a
    // jump to one of them, and a jump to a time before the end.
    std::vector<std::pair<std::string, int32_t>> DemoMarkerEntries() const;
    bool JumpToDemoMarker(int32_t update);
    void JumpToDemoTime(const std::string& text);
    // The remembered "DemoJumpTime" text, past the demo.
    std::string StoredDemoJumpTime() const;
    // The seconds of an "h:m:s" text, folded left to right.
    static int32_t ParseJumpTime(const std::string& text);
    // The playback dialogs, run modally; the replay holds while one is open.
    int ShowMarkerListDialog();
    int ShowJumpToTimeDialog();
    void DemoRecordInput(Platform::HWND window, uint32_t message, Platform::WPARAM wParam, Platform::LPARAM lParam);
    void DemoRecordKind(int32_t kind);

    // Dialogs: the table does the work.
    virtual Dialog* OpenDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                               const std::string& footer, int buttonMode);
    virtual Dialog* FindDialog(int id);
    virtual void RegisterDialog(Dialog* dialog);
    virtual void RegisterDialogWithId(int id, Dialog* dialog);
    virtual void CloseDialog(Dialog* dialog);
    bool CloseDialogById(int id) override;
    virtual bool CloseDialogEx(int id, bool removeWidget, bool deleteDialog);
    virtual int DialogCount();
    Dialog* MakeDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                       const std::string& footer, int buttonMode) override;
    void OnModalDialogOpened() override {}
    void OnModalDialogClosed() override {}
    DialogListener* GetDialogListener() override;
    void OnDialogButtonPressed(int dialogId, int buttonId) override;
    void OnDialogButtonClicked(int dialogId, int buttonId) override;

    // The widget toolkit's view of the application.
    int GetWidth() override { return mWidth; }
    int GetHeight() override { return mHeight; }
    void SetCursor(int cursorNumber) override { SetCursorNumber(cursorNumber); }
    bool WantsSystemCaret() override { return false; }
    void ShowSystemCaret(int, int) override {}
    void MoveSystemCaret(int, int) override {}
    void HideSystemCaret() override {}
    bool LockScreenImage(Image* image) override;
    void UnlockScreenImage(Image* image) override;
    Font* CreateSysFont(const std::string& faceName, int pointSize, int charSet) override;

    // Identity.
    std::string mCompanyName;
    std::string mDataFolderName;
    std::string mProductName = "Product";
    std::string mTitle = "LumoApp";
    std::string mRegKey;
    std::string mProgramFolder;
    std::string mProductVersion;
    int mPreferredX = -1;
    int mPreferredY = -1;
    float mMusicVolume = 0.30f;
    float mSfxVolume = 0.35f;
    float mDemoMusicVolume = 0.0f;
    float mDemoSfxVolume = 0.0f;
    bool mCommandLineRead = false;
    Platform::HANDLE mMutex = nullptr;
    bool mOnlyAllowOneCopy = true;
    uint32_t mNotifyMessage = 0;
    WidgetManager* mWidgetManager = nullptr;
    std::unique_ptr<DialogTable> mDialogs;
    uint32_t mMainThreadId = 0;

    std::atomic<bool> mSuspended{false};
    std::atomic<bool> mShutdown{false};
    bool mExitToTop = false;
    bool mWindowed = true;
    bool mIsWindowed = true;
    bool mForceFullscreen = false;
    bool mForceWindowed = false;
    bool mInitialized = false;
    uint32_t mCreationTick = 0;
    // Read by the cursor thread.
    std::atomic<Platform::HWND> mHWnd{nullptr};
    Platform::HWND mInvisHWnd = nullptr;
    bool mIsScreenSaver = false;
    bool mBlockInput = false;
    bool mTabletPC = false;
    DDInterface* mDDInterface = nullptr;
    bool mDrawInVideoMemory = false;
    std::unique_ptr<MusicInterface> mMusicInterface;
    bool mSaveSettingsAtShutdown = false;
    bool mSettingsLoaded = false;
    bool mDataFolderUsed = false;
    std::set<std::string> mToldPlayer;
    bool mLastRunClean = true;
    bool mHidden = false;

    Image* mCursorImages[kCursorCount] = {};
    bool mIsOpeningURL = false;
    bool mShutdownOnURLOpen = false;
    std::string mOpeningURL;
    uint32_t mOpeningURLTime = 0;
    uint32_t mLastTimerTime = 0;
    uint32_t mActivityStartTime = 0;

    int32_t mMuteCount = 0;
    int32_t mAutoMuteCount = 0;
    bool mDemoMute = false;
    bool mMuteOnLostFocus = true;

    // Main loop.
    int mUpdatesSinceDraw = 0;
    int mFrameTime = 10;
    bool mDrawing = false;
    bool mLastDrawWasEmpty = false;
    bool mHasUpdatedSinceDraw = true;
    double mUpdateFraction = 0.0;
    double mTimingDebt = 0.0;
    uint32_t mLastDebtStamp = 0;
    uint32_t mRunStartTime = 0;
    uint32_t mLastUserInputTick = 0;
    int mSleepCount = 0;
    std::atomic<int> mDrawCount{0};
    int mUpdateCount = 0;
    int mStepState = 0;
    int mPumpDepth = 0;
    double mRateMultiplier = 1.0;
    bool mPaused = false;
    int mJumpTarget = 0;
    bool mJumpToEnd = false;
    bool mStepOne = false;
    // A playback dialog is open: live input reaches the widgets, and neither
    // records nor updates run.
    bool mDemoDialogOpen = false;
    uint32_t mLastPresentTime = 0;
    std::atomic<uint32_t> mNextPresentTime{0};
    int mSingleStep = 0;

    std::atomic<int> mCursorNum{0};
    std::unique_ptr<SoundManager> mSoundManager;
    Platform::HCURSOR mHandCursor = nullptr;
    Platform::HCURSOR mDraggingCursor = nullptr;

    bool mMouseIn = false;
    bool mRunning = false;
    bool mActivated = true;
    bool mMinimized = false;
    bool mLastReportedMinimized = false;
    bool mWindowDisabled = false;
    bool mActive = true;

    int mDrawTime = 0;
    int mUpdatesWithChanges = 0;
    int mScreenBltTime = 0;
    bool mShowOverlay = false;
    int mOverlayKind = 0;

    std::atomic<bool> mLoadingStarted{false};
    std::atomic<bool> mLoadingFinished{false};
    bool mLoadingDoneHandled = false;
    std::atomic<bool> mLoadingRunning{false};
    std::atomic<bool> mShutdownFromOtherThread{false};
    std::atomic<bool> mCursorThreadRunning{false};
    std::atomic<int32_t> mLoadingTaskCount{0};
    std::atomic<int32_t> mLoadingTasksDone{0};

    bool mSysCursor = true;
    bool mCustomCursorsEnabled = false;
    bool mForcePresent = false;

    // Demo.
    bool mRecording = false;
    bool mPlaying = false;
    bool mManualShutdown = false;
    std::string mDemoPrefix = "lumoapp";
    std::string mDemoFileName = "lumoapp.dmo";
    Buffer mDemoBuffer;
    int32_t mDemoTotalUpdates = 0;
    std::atomic<int32_t> mDemoMouseX{0};
    std::atomic<int32_t> mDemoMouseY{0};
    int32_t mDemoNextUpdate = 0;
    bool mDemoNeedsHeader = true;
    bool mDemoIsShort = false;
    int32_t mDemoCommand = 0;
    bool mDemoLoadingComplete = false;
    std::vector<DemoMarker> mDemoMarkers;
    // The record stream has run out (or held a length it could not hold).
    bool mDemoEnded = false;
    uint32_t mRandSeed = 0;

    bool mDebugKeysEnabled = false;
    bool mCtrlDown = false;
    bool mAltDown = false;

    int mRefreshRate = 100;
    bool mWaitForVSync = false;
    bool mVSyncBroken = false;
    int mVSyncProbeCount = 0;
    uint32_t mVSyncProbeStamp = 0;
    uint32_t mVSyncProbeUpdates = 0;
    bool m3DChanged = false;
    // The display's self-test ran afresh during its last start-up.
    bool mD3DTestRanAfresh = false;

    uint8_t mAdd8BitMaxTable[512] = {};
    std::map<std::string, std::wstring> mStringTable;

protected:
    // Hands a message to the window's default handling.
    Platform::LRESULT DefaultHandling(Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                      Platform::LPARAM lParam);

private:
    struct QueuedMessage {
        Platform::HWND mWindow;
        uint32_t mMessage;
        Platform::WPARAM mWParam;
        Platform::LPARAM mLParam;
    };
    struct DeferredDelete {
        int32_t mDepth;
        Widget* mObject;
    };

    void RunLoadingDoneTransition();
    // A replay that went into a load its recording never made.
    void EndReplayInUnrecordedLoad();
    void ApplyPlaybackKey(char key);
    void ApplyDemoRecord();
    // Moves the pointer to the replayed position as a live mouse message
    // would; returns where the widgets got it.
    Point ReplayMouseMove();
    // The display-mode record's payload. The recorded run's wanted mode
    // becomes this run's, so a replayed mode switch decides as it did.
    void ReadDemoDisplayMode();
    int64_t DemoBitsLeft() const;
    Platform::LRESULT QueueInputMessage(Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                        Platform::LPARAM lParam);
    void DispatchQueuedMessage(const QueuedMessage& record);
    // A system key is one pressed with Alt (Alt+Enter switches the screen mode).
    void DispatchKeyDown(int key, bool systemKey);
    void DispatchMouse(const QueuedMessage& record);
    void CheckTimers();
    void HandleDisplayFailure(int result);
    [[noreturn]] void ShowDisplayFailure(int result);
    // Logs the text of a fatal error and marks the run as failed.
    void NoteFatalError(const std::string& text);
    void ApplyScreenImage();
    void CursorThreadLoop();
    void CreateCursors();
    bool ScreenSaverCheck(Platform::HWND window, uint32_t message, Platform::WPARAM wParam, Platform::LPARAM lParam,
                          Platform::LRESULT* answer);
    std::string RegistryKeyPath(const std::string& name, std::string* valueName) const;
    // Writes to the settings store itself, past any demo.
    bool StoreRegistryValue(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length);
    void StopThreads();
    // Makes the overlay font and the image on first use; false without a display.
    bool PrepareOverlayImage(DDImage*& image);
    void RepaintOverlayImage(DDImage* image, const std::string& text);

    std::unique_ptr<AppImageServices> mImageServices;
    std::unique_ptr<AppDiagnostics> mDiagnostics;
    std::list<QueuedMessage> mMessageQueue;
    std::list<DeferredDelete> mDeferredDeletes;
    // The depth at which the passes of RunUntilShutdown itself run; 0 outside it.
    int mMainLoopDepth = 0;
    Platform::HMODULE mVersionModule = nullptr;
    Platform::HMODULE mDirectDrawModule = nullptr;
    Platform::HMODULE mDirectSoundModule = nullptr;
    std::thread mLoadingThread;
    std::thread mCursorThread;
    std::atomic<bool> mCursorThreadStop{false};
    std::mutex mCursorWakeMutex;
    std::condition_variable mCursorWake;
    CriticalSectionHolder mLockWithoutDisplay;
    NativeDisplay mDefaultNativeDisplay;
    DDImage* mOverlayImage = nullptr;
    DDImage* mPlaybackOverlayImage = nullptr;
    Font* mOverlayFont = nullptr;
    int32_t mOverlayFrames = 0;
    int32_t mOverlayFrameRate = 0;
    bool mOverlayFrameRateReset = true;
    uint32_t mPlaybackOverlayRefresh = 0;
    // Playback: the jump mode's last draw.
    uint32_t mJumpDrawTick = 0;
    bool mJumpDrawStamped = false;
    // Screensaver idle pause.
    uint32_t mIdleTimeout = 0;
    bool mIdleScreenSaverActive = false;
    uint32_t mIdleLastRefresh = 0;
    bool mIdlePaused = false;
    uint32_t mLastIdleCheck = 0;
    // Display recovery after a failed present.
    bool mDisplayLost = false;
    uint32_t mLastRecoveryAttempt = 0;
    // What this run has written to the screensaver's error log.
    std::string mErrorLogText;
    uint32_t mExitCode = 0;
    // Screensaver close rules.
    Platform::POINT mScreenSaverMousePos;
    bool mScreenSaverMousePosTaken = false;
    int mScreenSaverMoves = 0;
    bool mScreenSaverClosing = false;
    uint32_t mMonitorPowerTime = 0;
    bool mMonitorPowerStamped = false;
};

// The application object; null outside its lifetime.
extern LumoAppBase* gLumoApp;
// The same, for the crash reporter: set once construction has finished.
extern LumoAppBase* gLumoAppForDiagnostics;
// Cleared when a present fails.
extern std::atomic<bool> gDisplayWorks;

} // namespace Lumo

#include "tests/lumoapp/AppFixture.h"

#include "framework/core/RuntimeRandom.h"
#include "framework/diagnostics/CrashHandler.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/support/ForkedChild.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace LumoTest {
namespace {

using namespace Platform;

// Takes its demo switch from a command line of its own, as the program does:
// after the settings were first read.
class DemoApp : public TestApp {
public:
    DemoApp(const std::string& demoSwitch, const std::string& file) : mSwitch(demoSwitch), mFile(file)
    {
        mCommandLineRead = false;
    }
    void ReadCommandLine() override
    {
        mCommandLineRead = true;
        ApplyCommandLineSwitch("-demofile", mFile);
        ApplyCommandLineSwitch(mSwitch, "");
    }

private:
    std::string mSwitch;
    std::string mFile;
};

// Writes down every input it gets with the update it came at.
class LoggingWidget final : public Lumo::Widget {
public:
    explicit LoggingWidget(const int* updateCount) : mUpdateCount(updateCount) {}
    std::vector<std::string> mLog;

    void MouseMove(int x, int y) override { Note("move " + std::to_string(x) + "," + std::to_string(y)); }
    void MouseDown(int x, int y, int button, int clicks) override
    {
        Note("down " + std::to_string(x) + "," + std::to_string(y) + " b" + std::to_string(button) + " c" +
             std::to_string(clicks));
    }
    void MouseUp(int x, int y, int button, int) override
    {
        Note("up " + std::to_string(x) + "," + std::to_string(y) + " b" + std::to_string(button));
    }
    void KeyDown(int key) override { Note("key " + std::to_string(key)); }
    void KeyUp(int key) override { Note("keyup " + std::to_string(key)); }
    void KeyChar(char ch) override { Note(std::string("char ") + ch); }
    void MouseWheel(int delta) override { Note("wheel " + std::to_string(delta)); }
    void Note(const std::string& text) { mLog.push_back(std::to_string(*mUpdateCount) + ": " + text); }

private:
    const int* mUpdateCount;
};

// A button that, like the game's windows, learns what lies under the pointer
// only from moves and drags, and acts on a release over what it shows now.
// What it shows changes under a pointer at rest.
class FaceButton final : public Lumo::Widget {
public:
    explicit FaceButton(Lumo::LumoAppBase* app) : mApp(app) {}
    int mFace = 0;
    int mActedAt = -1;

    void MouseMove(int, int) override { mHoverFace = mFace; }
    void MouseDrag(int, int) override { mHoverFace = mFace; }
    void MouseUp(int, int, int, int) override
    {
        if (mHoverFace == mFace && mActedAt < 0) {
            mActedAt = mApp->mUpdateCount;
            mApp->RequestShutdown(); // the program's own quit, as a menu's
        }
    }

private:
    Lumo::LumoAppBase* mApp;
    int mHoverFace = -1;
};

// A second load (a reload) that holds until the test lets it go.
class ReloadingApp final : public DemoApp {
public:
    using DemoApp::DemoApp;
    std::vector<int> mDoneAt;
    std::atomic<bool> mMayFinish{true};

    void RunLoadingThread() override
    {
        while (!mMayFinish)
            std::this_thread::yield();
    }
    void OnLoadingDone() override { mDoneAt.push_back(mUpdateCount); }
    // Lets the load end and waits until it has, so that the switch comes at
    // the next update whatever the threads' timing.
    void FinishLoading()
    {
        mMayFinish = true;
        WaitForLoadingThread();
    }
    void Reload()
    {
        mLoadingStarted = false;
        mLoadingFinished = false;
        mLoadingDoneHandled = false;
        StartLoadingThread();
    }
};

class DemoReplayTest : public AppFixture {
protected:
    bool StartDemoApp(const std::string& demoSwitch)
    {
        return StartDemoApp(std::make_unique<DemoApp>(demoSwitch, mFolder / "run.dmo"));
    }
    bool StartDemoApp(std::unique_ptr<TestApp> app)
    {
        mApp = std::move(app);
        try {
            mApp->LoadSettings();
            mApp->Initialize();
        } catch (const ExitCalled& exit) {
            mExitCode = int(exit.code);
            return false;
        }
        return true;
    }

    // A replay that lost its way runs out of records and would then idle
    // for good: it is ended after a while, where it stands.
    void EndAReplayThatRunsOut()
    {
        mApp->mOnDraw = [this, idleDraws = 0]() mutable {
            if (mApp->mDemoEnded && ++idleDraws == 50)
                mApp->RequestShutdown();
        };
    }

    // One run of the application: input arrives live while recording; both
    // runs read the clipboard, the settings, the clock and the runtime random
    // generator at the same updates.
    // extraLive adds input of its own to the recorded run at the updates it chooses.
    std::vector<std::string> RunSession(const std::string& demoSwitch, std::vector<std::string>* answers,
                                        const std::function<void(int)>& extraLive = nullptr)
    {
        EXPECT_TRUE(StartDemoApp(demoSwitch));
        LoggingWidget widget(&mApp->mUpdateCount);
        widget.Resize(0, 0, 320, 240);
        mApp->mWidgetManager->AddChild(&widget);
        mApp->mWidgetManager->SetFocus(&widget);
        const bool live = demoSwitch == "-record";
        HeadlessBackend& desktop = mSession.Desktop();
        mApp->mOnUpdate = [&] {
            const int update = mApp->mUpdateCount;
            if (live && extraLive)
                extraLive(update);
            if (live && update == 20) {
                desktop.InjectMouseMove(mApp->mHWnd, 40, 50);
                desktop.InjectButton(mApp->mHWnd, MouseButton::Left, true, 40, 50);
                desktop.InjectButton(mApp->mHWnd, MouseButton::Left, false, 41, 52);
            } else if (live && update == 45) {
                desktop.InjectMouseMove(mApp->mHWnd, 300, 200);
                desktop.InjectButton(mApp->mHWnd, MouseButton::Right, true, 300, 200);
                desktop.InjectButton(mApp->mHWnd, MouseButton::Right, false, 300, 200);
                desktop.InjectWheel(mApp->mHWnd, -2, 300, 200);
            } else if (live && update == 70) {
                desktop.InjectKey('K', true);
                desktop.InjectText("k");
                desktop.InjectKey('K', false);
            } else if (update == 90) {
                answers->push_back(mApp->GetClipboard());
                int32_t value = 0;
                answers->push_back(mApp->RegistryReadInteger("Level", &value) ? std::to_string(value) : "none");
                mApp->RegistryWriteInteger("Level", value + 1);
                // The clock has moved on by the replay; what was read from it
                // and the runtime generator's draws must not have.
                int32_t clock = int32_t(Platform::timeGetTime());
                Lumo::LumoAppBase::DemoSyncInteger(clock);
                answers->push_back(std::to_string(clock));
                answers->push_back(std::to_string(Lumo::Rand()));
            } else if (live && update == 130) {
                desktop.InjectWindowEvent(mApp->mHWnd, NativeEvent::Kind::CloseRequested);
            } else if (update == 3000) {
                mApp->RequestShutdown(); // the replay went astray
            }
        };
        mApp->Run();
        answers->push_back(std::to_string(mApp->mUpdateCount));
        answers->push_back(mApp->mIsWindowed ? "windowed" : "full screen");
        mApp->mWidgetManager->RemoveChild(&widget);
        mApp.reset();
        return widget.mLog;
    }
};

// The proof of exact replay: a recorded headless run, played back with
// other settings and another clipboard, delivers the same input at the same
// updates and hands the program the recorded answers.
TEST_F(DemoReplayTest, PlaybackRepeatsTheRecordedRunUpdateForUpdate)
{
    mSession.Desktop().SetClipboardText("recorded clip");
    ASSERT_TRUE(StartApp());
    mApp->RegistryWriteInteger("Level", 7);
    mApp.reset();

    std::vector<std::string> recordedAnswers;
    const std::vector<std::string> recorded = RunSession("-record", &recordedAnswers);
    ASSERT_GE(recorded.size(), 8u);
    EXPECT_EQ(recordedAnswers[0], "recorded clip");
    EXPECT_EQ(recordedAnswers[1], "7");

    mSession.Desktop().SetClipboardText("something else");
    ASSERT_TRUE(StartApp());
    mApp->RegistryWriteInteger("Level", 100);
    mApp.reset();

    std::vector<std::string> playedAnswers;
    const std::vector<std::string> played = RunSession("-play", &playedAnswers);
    EXPECT_EQ(played, recorded);
    EXPECT_EQ(playedAnswers, recordedAnswers);
    EXPECT_EQ(StoredInteger("Level"), 100); // the replay wrote nothing
}

// A crash finishes the demo it cuts short, so that the run can be replayed
// up to the fault.
TEST_F(DemoReplayTest, ACrashedRecordingReplaysToTheCrash)
{
    constexpr int kCrashUpdate = 60;
    const ChildEnd end = RunInChild(mFolder.Path(), [&] {
        Lumo::InstallCrashHandler();
        StartDemoApp("-record");
        HeadlessBackend& desktop = mSession.Desktop();
        mApp->mOnUpdate = [&] {
            if (mApp->mUpdateCount == 20) {
                desktop.InjectMouseMove(mApp->mHWnd, 40, 50);
                desktop.InjectButton(mApp->mHWnd, MouseButton::Left, true, 40, 50);
            } else if (mApp->mUpdateCount == kCrashUpdate) {
                Lumo::CrashNow();
            }
        };
        mApp->Run();
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_EQ(end.signal, SIGSEGV);
    const std::string report = ReadFile(mFolder / "crash.txt");
    EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005)", 0), 0u) << report;
    EXPECT_NE(report.find("Lumo::CrashNow()"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nProduct: "), std::string::npos) << report;

    ASSERT_TRUE(StartDemoApp("-play"));
    EXPECT_EQ(mApp->mDemoTotalUpdates, kCrashUpdate);
    LoggingWidget widget(&mApp->mUpdateCount);
    widget.Resize(0, 0, 320, 240);
    mApp->mWidgetManager->AddChild(&widget);
    // What comes next at the crash's update is the record the crash closed the demo with.
    bool closedAtCrash = false;
    mApp->mOnUpdate = [&] {
        if (mApp->mUpdateCount == kCrashUpdate) {
            closedAtCrash = mApp->DemoReadRecordHeader() && !mApp->mDemoIsShort && mApp->mDemoCommand == 31;
            mApp->RequestShutdown();
        }
    };
    mApp->Run();
    mApp->mWidgetManager->RemoveChild(&widget);
    mApp.reset();
    EXPECT_TRUE(closedAtCrash);
    ASSERT_GE(widget.mLog.size(), 2u);
    EXPECT_EQ(widget.mLog[1].rfind("20: down 40,50", 0), 0u) << testing::PrintToString(widget.mLog);
}

// A replay can run out of records inside an update: a read of the settings,
// the clipboard or a seed that the recording holds no more of. It then idles
// as after its last record, drawing and answering its window, so that it can
// be ended, rather than spinning for good.
TEST_F(DemoReplayTest, AReplayThatRunsOutInsideAnUpdateIdlesAsAfterItsLastRecord)
{
    ASSERT_TRUE(StartDemoApp("-record"));
    mApp->mOnUpdate = [&] {
        if (mApp->mUpdateCount == 60)
            mApp->RequestShutdown();
    };
    mApp->Run();
    mApp.reset();

    const ChildEnd end = RunInChild(mFolder.Path(), [&] {
        StartDemoApp("-play");
        EndAReplayThatRunsOut();
        mApp->mOnUpdate = [&] {
            // As a read past the last record leaves it.
            if (mApp->mUpdateCount == 30)
                mApp->mDemoEnded = true;
        };
        mApp->Run();
        std::_Exit(mApp->mUpdateCount == 30 ? 0 : 1);
    });
    EXPECT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
}

// Alt+Enter and a maximise are taken by the framework, not the widgets, and
// switch the screen mode, which reads the settings: the replay must do the
// same or it falls out of step with the stream.
TEST_F(DemoReplayTest, ScreenModeSwitchesReplayLikeLiveInput)
{
    HeadlessBackend& desktop = mSession.Desktop();
    const auto modeSwitches = [&](int update) {
        if (update == 10 || update == 100) {
            desktop.InjectKey(VK_MENU, true);
            desktop.InjectKey(VK_RETURN, true);
            desktop.InjectKey(VK_RETURN, false);
            desktop.InjectKey(VK_MENU, false);
        } else if (update == 110) {
            desktop.InjectWindowEvent(mApp->mHWnd, NativeEvent::Kind::Maximized);
        }
    };
    std::vector<std::string> recordedAnswers;
    const std::vector<std::string> recorded = RunSession("-record", &recordedAnswers, modeSwitches);
    ASSERT_GE(recorded.size(), 8u);
    EXPECT_EQ(recordedAnswers.back(), "full screen");

    std::vector<std::string> playedAnswers;
    const std::vector<std::string> played = RunSession("-play", &playedAnswers);
    EXPECT_EQ(played, recorded);
    EXPECT_EQ(playedAnswers, recordedAnswers);
}

// A click where the pointer already rests reaches what lies under it now,
// as live input does: the move that every mouse message makes tells the
// widget first. The click quits the program, so the replay ends at the
// recorded update, in the same app time. Stretched, the screen maps the
// window's positions to the play area, in the replay as live.
TEST_F(DemoReplayTest, AClickInPlaceQuitsTheReplayAtTheRecordedUpdate)
{
    for (const bool stretched : {false, true}) {
        SCOPED_TRACE(stretched ? "stretched" : "one to one");
        const int32_t at = stretched ? 200 : 100; // in the window; 100 on the screen
        struct End {
            int actedAt, updates;
            uint64_t appMicros;
        };
        const auto run = [&](const std::string& demoSwitch) {
            EXPECT_TRUE(StartDemoApp(demoSwitch));
            if (stretched)
                mApp->mWidgetManager->SetScreenRect({0, 0, 640, 480}, {0, 0, 1280, 960});
            FaceButton button(mApp.get());
            button.Resize(50, 50, 100, 100);
            mApp->mWidgetManager->AddChild(&button);
            const bool live = demoSwitch == "-record";
            HeadlessBackend& desktop = mSession.Desktop();
            mApp->mOnUpdate = [&] {
                const int update = mApp->mUpdateCount;
                if (update == 30)
                    button.mFace = 1;
                if (live && update == 10)
                    desktop.InjectMouseMove(mApp->mHWnd, at, at);
                if (live && update == 40) {
                    desktop.InjectButton(mApp->mHWnd, MouseButton::Left, true, at, at);
                    desktop.InjectButton(mApp->mHWnd, MouseButton::Left, false, at, at);
                }
                if (update == 500)
                    mApp->RequestShutdown(); // the click was lost
            };
            EndAReplayThatRunsOut();
            const uint64_t start = mClock.NowMicros();
            mApp->Run();
            const End end{button.mActedAt, mApp->mUpdateCount, mClock.NowMicros() - start};
            mApp->mWidgetManager->RemoveChild(&button);
            mApp.reset();
            return end;
        };
        const End recorded = run("-record");
        ASSERT_EQ(recorded.actedAt, 40);
        ASSERT_EQ(recorded.updates, 40);
        const End played = run("-play");
        EXPECT_EQ(played.actedAt, 40);
        EXPECT_EQ(played.updates, 40);
        EXPECT_NEAR(double(played.appMicros), double(recorded.appMicros), 50'000.0);
    }
}

// A reload's loading-done switch waits for its own record, not the first
// load's: the replay switches at the recorded update although its loading
// is over at once.
TEST_F(DemoReplayTest, AReloadSwitchesAtItsRecordedUpdate)
{
    const auto run = [&](const std::string& demoSwitch) {
        auto app = std::make_unique<ReloadingApp>(demoSwitch, mFolder / "run.dmo");
        ReloadingApp& reloading = *app;
        EXPECT_TRUE(StartDemoApp(std::move(app)));
        const bool live = demoSwitch == "-record";
        mApp->mOnUpdate = [&] {
            const int update = mApp->mUpdateCount;
            if (live && update == 5) {
                reloading.FinishLoading();
            } else if (update == 20) {
                reloading.mMayFinish = !live;
                reloading.Reload();
            } else if (live && update == 35) {
                reloading.FinishLoading();
            } else if (live && update == 60) {
                mSession.Desktop().InjectWindowEvent(mApp->mHWnd, NativeEvent::Kind::CloseRequested);
            } else if (update == 500) {
                mApp->RequestShutdown(); // the close was lost
            }
        };
        EndAReplayThatRunsOut();
        mApp->Run();
        std::vector<int> end = reloading.mDoneAt;
        end.push_back(mApp->mUpdateCount);
        mApp.reset();
        return end;
    };
    const std::vector<int> recorded = run("-record");
    ASSERT_EQ(recorded.size(), 3u);
    ASSERT_EQ(recorded[1], 35);
    EXPECT_EQ(run("-play"), recorded);
}

} // namespace
} // namespace LumoTest

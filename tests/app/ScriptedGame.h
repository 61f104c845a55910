#pragma once

#include "app/CGameApp.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace AppTest {

// The game as the program runs it, with a script run after every update and,
// when given, a demo switch ("-record" or "-play") with its demo file on the
// command line.
class ScriptedGame : public CGameApp {
public:
    ScriptedGame() = default;
    ScriptedGame(std::string demoSwitch, std::string demoFile)
        : mDemoSwitch(std::move(demoSwitch)), mDemoFile(std::move(demoFile))
    {
    }
    // A run cut short may leave a load held, waiting on members that go first.
    ~ScriptedGame() override
    {
        LetTheLoadEnd();
        WaitForLoadingThread();
    }

    bool KeepWorkingFolder(const std::string&) override { return true; }
    void ShowFatalErrorA(const std::string& text) override { mFatalErrors.push_back(text); }
    void ReadCommandLine() override
    {
        mCommandLineRead = true;
        if (mDemoSwitch.empty())
            return;
        ApplyCommandLineSwitch("-demofile", mDemoFile);
        ApplyCommandLineSwitch(mDemoSwitch, "");
    }
    void UpdateFrames() override
    {
        // A load takes no time on the fake clock, so it ends in the update
        // that finds it running, however fast or slow its thread is: the game
        // then plays the same whatever the load of the machine.
        if (mLoadingRunning && !mLoadingFinished) {
            LetTheLoadEnd();
            WaitForLoadingThread();
        }
        CGameApp::UpdateFrames();
        if (mScript)
            mScript(mUpdateCount);
    }
    void Run() override
    {
        // A replay holds the end of a load until its recorded update by itself.
        mHoldLoads = mDemoSwitch != "-play";
        CGameApp::Run();
    }
    void RunLoadingThread() override
    {
        CGameApp::RunLoadingThread();
        // Not before that update, either.
        std::unique_lock<std::mutex> hold(mLoadEndMutex);
        mLoadEndAllowed.wait(hold, [this] { return mLoadMayEnd || !mHoldLoads; });
        mLoadMayEnd = false;
    }
    void OnBeforeShutdown() override
    {
        CGameApp::OnBeforeShutdown();
        LetTheLoadEnd();
    }
    // Pictures cost in the checked build; one frame in twenty shows enough.
    bool DrawFrame() override
    {
        // A replay that runs out before the game quits idles, drawing, for ever.
        mIdleDraws = mDemoEnded && mUpdateCount == mLastDrawn ? mIdleDraws + 1 : 0;
        mLastDrawn = mUpdateCount;
        if (mIdleDraws == kIdleDrawsToStop) {
            mRanOutIdle = true;
            RequestShutdown();
        }
        if (mUpdateCount % 20 == 0)
            return CGameApp::DrawFrame();
        mHasUpdatedSinceDraw = false;
        return true;
    }

    // Whether a replay ran out and left the game idling, not quitting.
    bool RanOutIdle() const { return mRanOutIdle; }

    std::function<void(int)> mScript;
    std::vector<std::string> mFatalErrors;

private:
    static constexpr int kIdleDrawsToStop = 100;

    void LetTheLoadEnd()
    {
        {
            std::lock_guard<std::mutex> hold(mLoadEndMutex);
            mLoadMayEnd = true;
        }
        mLoadEndAllowed.notify_all();
    }

    int mLastDrawn = -1;
    int mIdleDraws = 0;
    bool mRanOutIdle = false;
    std::mutex mLoadEndMutex;
    std::condition_variable mLoadEndAllowed;
    bool mLoadMayEnd = false;
    // Set before the run starts its loading thread.
    bool mHoldLoads = false;
    std::string mDemoSwitch;
    std::string mDemoFile;
};

} // namespace AppTest

#pragma once

#include "app/CGameApp.h"

#include <functional>
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
        CGameApp::UpdateFrames();
        if (mScript)
            mScript(mUpdateCount);
    }
    // Pictures cost in the checked build; one frame in twenty shows enough.
    bool DrawFrame() override
    {
        if (mUpdateCount % 20 == 0)
            return CGameApp::DrawFrame();
        mHasUpdatedSinceDraw = false;
        return true;
    }

    bool DemoEnded() const { return mDemoEnded; }
    int32_t DemoTotalUpdates() const { return mDemoTotalUpdates; }

    std::function<void(int)> mScript;
    std::vector<std::string> mFatalErrors;

private:
    std::string mDemoSwitch;
    std::string mDemoFile;
};

} // namespace AppTest

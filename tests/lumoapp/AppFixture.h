#pragma once

#include "framework/app/LumoAppBase.h"
#include "framework/audio/MusicInterface.h"
#include "framework/widgets/Widget.h"
#include "platform/process/Clock.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/process/Process.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace LumoTest {

struct ExitCalled {
    uint32_t code;
};

// A music player that remembers every volume it was given.
class RecordingMusic final : public Lumo::MusicInterface {
public:
    explicit RecordingMusic(std::vector<float>* volumes) : mVolumes(volumes) {}
    void SetVolume(float volume) override { mVolumes->push_back(volume); }

private:
    std::vector<float>* mVolumes;
};

// A top-level widget that records what reaches it.
class InputWidget final : public Lumo::Widget {
public:
    struct Click {
        int x, y, button, clickCount;
    };
    std::vector<Click> mDowns;
    std::vector<int> mKeys;
    std::vector<char> mChars;
    std::vector<int> mWheel;
    bool* mDeleted = nullptr;

    ~InputWidget() override
    {
        if (mDeleted)
            *mDeleted = true;
    }
    void MouseDown(int x, int y, int button, int clickCount) override { mDowns.push_back({x, y, button, clickCount}); }
    void KeyDown(int key) override { mKeys.push_back(key); }
    void KeyChar(char ch) override { mChars.push_back(ch); }
    void MouseWheel(int delta) override { mWheel.push_back(delta); }
};

class TestApp : public Lumo::LumoAppBase {
public:
    std::vector<float> mMusicVolumes;
    std::function<void()> mOnUpdate;
    std::function<void()> mOnDraw;
    int mDrawCalls = 0;
    int mUpdatesBeforeFirstDraw = -1;

    TestApp();
    bool KeepWorkingFolder(const std::string&) override { return true; }
    std::unique_ptr<Lumo::MusicInterface> MakeMusicPlayer(Platform::HWND) override
    {
        return std::make_unique<RecordingMusic>(&mMusicVolumes);
    }
    void UpdateFrames() override
    {
        Lumo::LumoAppBase::UpdateFrames();
        if (mOnUpdate)
            mOnUpdate();
    }
    bool DrawFrame() override
    {
        if (mDrawCalls++ == 0)
            mUpdatesBeforeFirstDraw = mUpdateCount;
        if (mOnDraw)
            mOnDraw();
        return Lumo::LumoAppBase::DrawFrame();
    }
};

// A headless desktop, a fake clock, settings in memory, a scratch working
// and data folder, and an exit that throws instead of ending the tests.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    // Constructs and initialises an application; null when it exited (the code is kept).
    TestApp* StartApp();
    // Runs main-loop passes until the fake clock has moved on by ms.
    void RunFor(uint32_t ms);
    // Runs passes for ms, each costing passMicros of the fake clock as the
    // work of a real pass would, so that a loop that never sleeps still ends;
    // returns the passes run.
    uint64_t RunWorkingFor(uint32_t ms, uint64_t passMicros = 100);
    // Sends a message to the main window's procedure and dispatches the queue.
    void Send(uint32_t message, Platform::WPARAM wParam, Platform::LPARAM lParam);
    int32_t StoredInteger(const std::string& name);
    // Whether the mixer gives anything but silence (it moves its sounds on).
    static bool Sounding();

    TempFolder mFolder;
    std::string mPreviousFolder;
    Platform::HeadlessSession mSession;
    Platform::FakeClock mClock{5'000'000};
    Platform::ScopedClock mClockScope{&mClock};
    Platform::RegistryStore mStore;
    Platform::ScopedRegistryStore mStoreScope{&mStore};
    Platform::ExitHook mPreviousExit;
    std::unique_ptr<TestApp> mApp;
    int mExitCode = -1;
};

} // namespace LumoTest

#include "tests/lumoapp/AppFixture.h"

#include "framework/core/UserDataFolder.h"
#include "platform/sound/AudioModules.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/VersionModule.h"
#include "platform/sound/AudioMixer.h"
#include "platform/storage/Files.h"
#include "platform/windows/Messages.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace LumoTest {

TestApp::TestApp()
{
    // Unique per test program run, so parallel runs never meet in the instance lock.
    mProductName = "LumoAppTest" + std::to_string(Platform::GetCurrentProcessId());
    mCompanyName = "TestCompany";
    mRegKey = "TestCompany\\LumoAppTest";
    // The test program's own switches are not the application's.
    mCommandLineRead = true;
}

AppFixture::AppFixture()
{
    mPreviousFolder = Platform::GetCurrentDirectoryA();
    Platform::SetCurrentDirectoryA(mFolder.Path().c_str());
    setenv("XDG_DATA_HOME", (mFolder / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", mFolder.Path().c_str(), 1);
    Platform::RegisterVersionModule();
    Platform::RegisterDirectDrawModule();
    Platform::RegisterAudioModules();
    Platform::DisplayDesktop::Reset();
    Lumo::SetUserDataFolder("");
    mPreviousExit = Platform::SetExitHook([](uint32_t code) { throw ExitCalled{code}; });
}

AppFixture::~AppFixture()
{
    mApp.reset();
    Platform::SetExitHook(mPreviousExit);
    Platform::DisplayDesktop::Reset();
    Lumo::SetUserDataFolder("");
    Platform::SetCurrentDirectoryA(mPreviousFolder.c_str());
}

TestApp* AppFixture::StartApp()
{
    mApp = std::make_unique<TestApp>();
    try {
        mApp->LoadSettings();
        mApp->Initialize();
    } catch (const ExitCalled& exit) {
        mExitCode = int(exit.code);
        return nullptr;
    }
    return mApp.get();
}

void AppFixture::RunFor(uint32_t ms)
{
    const uint64_t end = mClock.NowMicros() + uint64_t(ms) * 1000;
    while (mClock.NowMicros() < end)
        mApp->PumpAndStep(nullptr);
}

uint64_t AppFixture::RunWorkingFor(uint32_t ms, uint64_t passMicros)
{
    const uint64_t end = mClock.NowMicros() + uint64_t(ms) * 1000;
    uint64_t passes = 0;
    while (mClock.NowMicros() < end) {
        mApp->PumpAndStep(nullptr);
        mClock.AdvanceMicros(passMicros);
        ++passes;
    }
    return passes;
}

void AppFixture::Send(uint32_t message, Platform::WPARAM wParam, Platform::LPARAM lParam)
{
    mApp->HandleWindowMessage(mApp->mHWnd, message, wParam, lParam);
    while (mApp->ProcessQueuedInput()) {
    }
}

bool AppFixture::Sounding()
{
    std::vector<int16_t> mix(2 * 1024);
    Platform::AudioMixer::Get().Mix(mix.data(), 1024);
    return std::any_of(mix.begin(), mix.end(), [](int16_t sample) { return sample != 0; });
}

int32_t AppFixture::StoredInteger(const std::string& name)
{
    Platform::RegistryStore::Value value;
    if (!mStore.Get("SOFTWARE\\TestCompany\\LumoAppTest", name, &value) || value.data.size() != 4)
        return -12345;
    return int32_t(uint8_t(value.data[0]) | uint8_t(value.data[1]) << 8 | uint8_t(value.data[2]) << 16 |
                   uint8_t(value.data[3]) << 24);
}

} // namespace LumoTest

// Reads arbitrary bytes as a demo file and replays whatever it accepts on a
// headless application, with the registry and data readers taking the records
// that are theirs, as a game would at those updates.
// The harness changes the working folder: give the corpus as an absolute path.

#include "framework/app/LumoAppBase.h"
#include "framework/core/Buffer.h"
#include "framework/core/UserDataFolder.h"
#include "platform/sound/AudioModules.h"
#include "platform/process/Clock.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/storage/Files.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/process/Process.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// How long the loop may idle once the stream has been played out.
constexpr uint32_t kIdleMs = 1000;

class FuzzApp final : public Lumo::LumoAppBase {
public:
    FuzzApp()
    {
        mProductName = "LumoDemoFuzz" + std::to_string(Platform::GetCurrentProcessId());
        mCompanyName = "FuzzCompany";
        mRegKey = "FuzzCompany\\LumoDemoFuzz";
        mCommandLineRead = true;
    }
    bool KeepWorkingFolder(const std::string&) override { return true; }

    void UpdateFrames() override
    {
        Lumo::LumoAppBase::UpdateFrames();
        if (!mPlaying || !DemoReadRecordHeader() || mDemoEnded || mDemoIsShort)
            return;
        if (mDemoCommand == 11) {
            std::string text;
            RegistryReadString("Value", &text);
        } else if (mDemoCommand == 12) {
            RegistryWriteString("Value", "text");
        } else if (mDemoCommand == 18) {
            Lumo::Buffer data;
            DemoSyncBuffer(data);
        }
    }
};

struct Harness {
    std::string folder;
    Platform::HeadlessSession session;
    Platform::FakeClock clock{5'000'000};
    Platform::ScopedClock clockScope{&clock};
    Platform::RegistryStore store;
    Platform::ScopedRegistryStore storeScope{&store};
    std::unique_ptr<FuzzApp> app;

    explicit Harness(std::string workFolder) : folder(std::move(workFolder))
    {
        Platform::SetCurrentDirectoryA(folder.c_str());
        setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        Platform::RegisterDirectDrawModule();
        Platform::RegisterAudioModules();
        Platform::DisplayDesktop::Reset();
        Lumo::SetUserDataFolder("");
        Platform::SetExitHook([](uint32_t) { std::abort(); });
        app = std::make_unique<FuzzApp>();
        app->LoadSettings();
        app->Initialize();
        app->mDemoFileName = folder + "/fuzz.dmo";
    }
};

Harness& TheHarness()
{
    static Harness* harness = [] {
        std::string folder = (std::filesystem::temp_directory_path() / "lumo-fuzz-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            std::abort();
        static const std::string removed = folder;
        std::atexit([] { std::filesystem::remove_all(removed); });
        return new Harness(folder);
    }();
    return *harness;
}

void ResetDemoState(FuzzApp& app)
{
    if (app.mDemoMute)
        app.PopMute(true);
    app.mDemoMute = false;
    app.mJumpToEnd = false;
    app.mJumpTarget = 0;
    app.mStepState = 0;
    // A shutdown asks every loop to return to the top; the harness's loop is the top.
    app.mExitToTop = false;
    app.mShutdown = false;
    app.mManualShutdown = false;
    app.mPlaying = false;
    app.mDemoBuffer.Clear();
    app.mDemoMarkers.clear();
    app.mDemoEnded = false;
    app.mDemoNeedsHeader = true;
    app.mDemoNextUpdate = 0;
    app.mDemoMouseX = 0;
    app.mDemoMouseY = 0;
    app.mUpdateCount = 0;
    // As at a real start whose loading has finished: the switch to the game
    // waits for the stream's loading-done record.
    app.mLoadingFinished = true;
    app.mDemoLoadingComplete = app.mLoadingDoneHandled = false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    Harness& harness = TheHarness();
    FuzzApp& app = *harness.app;
    ResetDemoState(app);
    {
        std::ofstream out(app.mDemoFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes), std::streamsize(size));
    }
    std::string error;
    if (!app.OpenDemoFile(error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    app.mPlaying = true;
    // The main loop itself, running through the stream back to back as the
    // jump-to-end key does; the fake clock stands still until the loop
    // sleeps. Bounded by time, not by passes: a loop that stops pumping or
    // spins without sleeping never gets there, and the fuzzer reports the hang.
    app.mJumpToEnd = true;
    const uint64_t idleEnd = harness.clock.NowMicros() + uint64_t(kIdleMs) * 1000;
    while (!app.mShutdown && harness.clock.NowMicros() < idleEnd)
        app.PumpAndStep(nullptr);
    // A replay ends once its time is up, never goes backwards and never runs
    // past a stream's records.
    if (!app.mShutdown && !app.mDemoEnded)
        std::abort();
    if (app.mUpdateCount < 0 || app.mUpdateCount > app.mDemoNextUpdate)
        std::abort();
    app.mPlaying = false;
    return 0;
}

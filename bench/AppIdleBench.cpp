// The main loop with nothing to do: the cost of one update-and-draw pass over
// an idle widget tree, and ten simulated seconds of the loop on a headless
// desktop, with the sleeps it takes and the share of one core it would use
// (processor time spent over the ten seconds the sleeps would have lasted).

#include "framework/app/LumoAppBase.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/sound/AudioModules.h"
#include "platform/process/Clock.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/process/Process.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidgetCount = 50;

class IdleApp : public Lumo::LumoAppBase {
public:
    IdleApp()
    {
        mProductName = "LumoIdleBench" + std::to_string(Platform::GetCurrentProcessId());
        mCompanyName = "BenchCompany";
        mRegKey = "BenchCompany\\LumoIdleBench";
        mCommandLineRead = true;
    }
    bool KeepWorkingFolder(const std::string&) override { return true; }
};

// A headless desktop, a fake clock and settings in memory around one started
// application whose tree holds idle widgets.
class IdleRun {
public:
    IdleRun()
    {
        mPreviousFolder = std::filesystem::current_path();
        std::filesystem::create_directories(mFolder);
        setenv("XDG_DATA_HOME", (mFolder / "data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", mFolder.c_str(), 1);
        std::filesystem::current_path(mFolder);
        Platform::RegisterDirectDrawModule();
        Platform::RegisterAudioModules();
        Platform::DisplayDesktop::Reset();
        mApp = std::make_unique<IdleApp>();
        mApp->Initialize();
        for (int i = 0; i < kWidgetCount; ++i) {
            mWidgets.push_back(std::make_unique<Lumo::Widget>());
            mWidgets.back()->Resize(i * 12 % 600, i * 9 % 440, 40, 30);
            mApp->mWidgetManager->AddChild(mWidgets.back().get());
        }
    }
    ~IdleRun()
    {
        for (const auto& widget : mWidgets)
            mApp->mWidgetManager->RemoveChild(widget.get());
        mApp.reset();
        std::filesystem::current_path(mPreviousFolder);
        std::filesystem::remove_all(mFolder);
    }

    const std::filesystem::path mFolder = std::filesystem::temp_directory_path() /
                                          ("lumo-idle-bench-" + std::to_string(Platform::GetCurrentProcessId()));
    std::filesystem::path mPreviousFolder;
    Platform::HeadlessSession mSession;
    Platform::FakeClock mClock{5'000'000};
    Platform::ScopedClock mClockScope{&mClock};
    Platform::RegistryStore mStore;
    Platform::ScopedRegistryStore mStoreScope{&mStore};
    std::unique_ptr<IdleApp> mApp;
    std::vector<std::unique_ptr<Lumo::Widget>> mWidgets;
};

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleUpdateAndDraw(benchmark::State& state)
{
    IdleRun run;
    for (auto _ : state) {
        run.mApp->UpdateFrames();
        run.mApp->UpdateFraction(1.0f);
        benchmark::DoNotOptimize(run.mApp->DrawFrame());
        run.mClock.AdvanceMillis(10);
    }
}
BENCHMARK(BM_IdleUpdateAndDraw);

void BM_IdleTenSimulatedSeconds(benchmark::State& state)
{
    IdleRun run;
    double processor = 0.0;
    int sleeps = 0;
    int updates = 0;
    for (auto _ : state) {
        const int sleepsBefore = run.mApp->mSleepCount;
        const int updatesBefore = run.mApp->mUpdateCount;
        const uint64_t end = run.mClock.NowMicros() + 10'000'000;
        const double start = ProcessorSeconds();
        while (run.mClock.NowMicros() < end)
            run.mApp->PumpAndStep(nullptr);
        processor += ProcessorSeconds() - start;
        sleeps += run.mApp->mSleepCount - sleepsBefore;
        updates += run.mApp->mUpdateCount - updatesBefore;
    }
    const double runs = double(state.iterations());
    state.counters["sleeps"] = sleeps / runs;
    state.counters["updates"] = updates / runs;
    state.counters["core_percent"] = 100.0 * processor / (10.0 * runs);
}
BENCHMARK(BM_IdleTenSimulatedSeconds)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

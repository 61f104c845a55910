// The game's full load on its loading thread, from the archive it ships, and
// the resident memory of the process once it has loaded.

#include "app/CGameApp.h"
#include "GameBenchSetting.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>

namespace {

void BM_FullLoad(benchmark::State& state)
{
    const GameBenchSetting setting("load");
    if (!setting.Mounted()) {
        state.SkipWithError("res.pak is missing");
        return;
    }
    bool loaded = true;
    for (auto _ : state) {
        auto game = std::make_unique<CGameApp>();
        game->StartLoadingThread();
        game->WaitForLoadingThread();
        loaded = loaded && game->LoadedOk();
        state.PauseTiming();
        game.reset();
        state.ResumeTiming();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["loaded_ok"] = loaded ? 1 : 0;
    state.counters["max_resident_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_FullLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

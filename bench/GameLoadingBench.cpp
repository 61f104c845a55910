// The game's full load on its loading thread, from the archive it ships, and
// the resident memory of the process once it has loaded.

#include "app/CGameApp.h"
#include "framework/resources/PakInterface.h"
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

namespace {

void BM_FullLoad(benchmark::State& state)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zentrova-load-" + std::to_string(Platform::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    Platform::HeadlessSession session;
    Platform::RegistryStore store;
    Platform::ScopedRegistryStore storeScope(&store);
    PakInterface pak;
    if (!pak.MountArchive(ZENTROVA_RES_PAK)) {
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
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FullLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

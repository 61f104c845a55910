// One frame of particles as a running level has it: 2,000 live particles in
// four runs of one emitter, advanced by one update and drawn faded by their energy
// onto an 800 x 600 picture. "percent_of_10ms" is the part of one update's
// 10 ms budget that such a frame takes.

#include "ParticleSpray.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/data/pictures/CImageTable.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

constexpr int32_t kRuns = 4;
constexpr int32_t kPerRun = 500;

void BM_ParticleFrame(benchmark::State& state)
{
    Lumo::MemoryImage screen;
    screen.SetSize(800, 600);
    Lumo::MemoryImage spark;
    spark.SetSize(8, 8);
    std::vector<uint32_t> pixels(64, 0x80FFC040u);
    spark.SetBits(pixels.data(), 8, 8, false);
    CImageTable images(nullptr);
    const int32_t slot = images.NewSlot(&spark, nullptr);

    CParticleSystem& system = CParticleSystem::Get();
    system.Attach(nullptr, &images);
    system.Reserve(1024, 32);
    ParticleSpray spray(slot, kRuns, kPerRun);
    spray.Emit();
    CParticleEmitter& emitter = spray.Emitter();
    Lumo::Graphics g(&screen);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        system.UpdateEmitters(1.0f);
        system.Draw(g, emitter, 0, 0);
        if (spray.Thinned()) {
            state.PauseTiming();
            spray.Emit();
            state.ResumeTiming();
        }
    }
    state.counters["live_particles"] = double(emitter.mLive);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["percent_of_10ms"] = elapsed.count() / double(state.iterations()) / 0.01 * 100.0;
    emitter.Release();
    system.Emitters().clear();
    system.Attach(nullptr, nullptr);
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

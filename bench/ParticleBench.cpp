// One frame of particles as a running level has it: 2,000 live particles in
// four runs of one emitter, advanced by one update and drawn faded by their energy
// onto an 800 x 600 picture. "percent_of_10ms" is the part of one update's
// 10 ms budget that such a frame takes.

#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/CImageTable.h"
#include "game/data/CParticleEmitter.h"
#include "game/data/CParticleSystem.h"

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
    ParticleConfig config;
    config.flags = ParticleConfig::kEmitSquare;
    config.emitSquareSide = 200.0f;
    config.vxRange = 2.0f;
    config.vyRange = 2.0f;
    config.accelY = 0.01f;
    config.dragBase = 0.99f;
    CParticleEmitter emitter;
    auto emitAll = [&] {
        emitter.Resize(kRuns);
        for (int32_t run = 0; run < kRuns; ++run) {
            emitter.AllocParticles(run, kPerRun);
            ParticleRun& target = emitter.Run(run);
            target.state = ParticleRun::kLive;
            target.visual = slot;
            target.energySpeed = -0.0001f;
            emitter.Emit(run, config, kPerRun, 400.0f, 300.0f, 0);
        }
        emitter.Register();
    };
    emitAll();
    Lumo::Graphics g(&screen);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        system.UpdateEmitters(1.0f);
        system.Draw(g, emitter, 0, 0);
        if (emitter.mLive < kRuns * kPerRun) {
            state.PauseTiming();
            emitAll();
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

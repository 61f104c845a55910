// One frame of the game in play as the program runs it: the real game loaded
// from the archive it ships, the first level of the level map started with
// its field full, the HUD panel on, and 1,000 live block particles; one update step
// of the board widget and one draw of the 800 x 600 frame. "percent_of_10ms"
// is the part of one update's 10 ms budget that such a frame takes.

#include "app/CGameApp.h"
#include "GameBenchSetting.h"
#include "ParticleSpray.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/BlockDef.h"
#include "game/board/CGameField.h"
#include "game/board/CLevelController.h"
#include "game/data/CParticleSystem.h"
#include "game/screens/CBoardWidget.h"
#include "game/screens/CGamePanel.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

constexpr int32_t kRuns = 4;
constexpr int32_t kPerRun = 250;
// Long enough for any intro of the sample content.
constexpr int32_t kIntroUpdates = 3000;

void BM_GameFrame(benchmark::State& state)
{
    const GameBenchSetting setting("frame");
    if (!setting.Mounted()) {
        state.SkipWithError("res.pak is missing");
        return;
    }
    auto game = std::make_unique<CGameApp>();
    game->StartLoadingThread();
    game->WaitForLoadingThread();
    game->OnLoadingDone();
    if (!game->LoadedOk()) {
        state.SkipWithError("the game did not load");
        return;
    }
    game->mActive = true;
    CBoardWidget& board = *game->Board();
    CLevelController& level = *game->LevelController();
    board.SetFieldShown(true);
    board.SetBackgroundOn(true);
    board.SetFadeState(CBoardWidget::kFadeNone);
    board.SetFade(1.0f);
    game->SetGamePaused(false);
    level.StartLevel(0, 0);
    for (int32_t i = 0; i < kIntroUpdates && level.State() == CLevelController::kIntro; ++i)
        board.UpdateFraction(1.0f);
    level.BeginPlay();
    game->SetGamePaused(false);
    game->Panel()->SlideOnOff(true);

    // Blocks thrown as particles, as the bomb throws them.
    const int32_t sprite = game->Field()->BlockDefs().front().mSprite;
    ParticleSpray spray(sprite, kRuns, kPerRun);
    spray.Emit();
    CParticleEmitter& emitter = spray.Emitter();

    // The frame's picture belongs to the application's image set: it goes first.
    auto screen = std::make_unique<Lumo::MemoryImage>();
    screen->SetSize(800, 600);
    auto g = std::make_unique<Lumo::Graphics>(screen.get());
    CParticleSystem& particles = CParticleSystem::Get();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        board.Update();
        board.UpdateFraction(1.0f);
        board.Draw(*g);
        particles.Draw(*g, emitter, 0, 0);
        if (spray.Thinned()) {
            state.PauseTiming();
            spray.Emit();
            state.ResumeTiming();
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["percent_of_10ms"] = elapsed.count() / double(state.iterations()) / 0.01 * 100.0;
    state.counters["blocks"] = double(game->Field()->ActiveBlocks());
    state.counters["live_particles"] = double(emitter.mLive);
    state.counters["playing"] = level.State() == CLevelController::kPlaying ? 1 : 0;
    emitter.Release();
    particles.Emitters().clear();
    g.reset();
    screen.reset();
    game.reset();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

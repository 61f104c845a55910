// One frame of the game in play as the program runs it: the real game loaded
// from the archive it ships, the first level of the level map started with
// its field full, the HUD panel on, and 1,000 live block particles; one update step
// of the board widget and one draw of the 800 x 600 frame. "percent_of_10ms"
// is the part of one update's 10 ms budget that such a frame takes.
// BM_GameFrame draws into a memory image; BM_GameFrameOnScreen draws the same
// frame onto the display's screen, in software (2D) or through the layer's 3D
// device (3D, the scene ended with each frame), on a 32- or 16-bit (565)
// desktop, for a fixed run of frames from the spray's start, while it is on
// the screen: each path draws the same frames; with "shown", each frame is
// also shown in its window on the headless desktop.

#include "app/CGameApp.h"
#include "GameBenchSetting.h"
#include "ParticleSpray.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/field/BlockDef.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/sound/AudioModules.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

namespace {

constexpr int32_t kRuns = 4;
constexpr int32_t kPerRun = 250;
// Long enough for any intro of the sample content.
constexpr int32_t kIntroUpdates = 3000;

// Loads the game (after the start-up the caller gave it), starts the level and
// the spray, and measures the frame drawn on g; endFrame closes each frame.
void MeasureFrames(benchmark::State& state, CGameApp& game, Lumo::Graphics& g,
                   const std::function<void()>& endFrame)
{
    game.StartLoadingThread();
    game.WaitForLoadingThread();
    game.OnLoadingDone();
    if (!game.LoadedOk()) {
        state.SkipWithError("the game did not load");
        return;
    }
    game.mActive = true;
    CBoardWidget& board = *game.Board();
    CLevelController& level = *game.LevelController();
    board.SetFieldShown(true);
    board.SetBackgroundOn(true);
    board.SetFadeState(CBoardWidget::kFadeNone);
    board.SetFade(1.0f);
    game.SetGamePaused(false);
    level.StartLevel(0, 0);
    for (int32_t i = 0; i < kIntroUpdates && level.State() == CLevelController::kIntro; ++i)
        board.UpdateFraction(1.0f);
    level.BeginPlay();
    game.SetGamePaused(false);
    game.Panel()->SlideOnOff(true);

    // Blocks thrown as particles, as the bomb throws them.
    const int32_t sprite = game.Field()->BlockDefs().front().mSprite;
    ParticleSpray spray(sprite, kRuns, kPerRun);
    spray.Emit();
    CParticleEmitter& emitter = spray.Emitter();

    CParticleSystem& particles = CParticleSystem::Get();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        board.Update();
        board.UpdateFraction(1.0f);
        board.Draw(g);
        particles.Draw(g, emitter, 0, 0);
        endFrame();
        if (spray.Thinned()) {
            state.PauseTiming();
            spray.Emit();
            state.ResumeTiming();
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["percent_of_10ms"] = elapsed.count() / double(state.iterations()) / 0.01 * 100.0;
    state.counters["blocks"] = double(game.Field()->ActiveBlocks());
    state.counters["live_particles"] = double(emitter.mLive);
    state.counters["playing"] = level.State() == CLevelController::kPlaying ? 1 : 0;
    emitter.Release();
    particles.Emitters().clear();
}

void BM_GameFrame(benchmark::State& state)
{
    const GameBenchSetting setting("frame");
    if (!setting.Mounted()) {
        state.SkipWithError("res.pak is missing");
        return;
    }
    auto game = std::make_unique<CGameApp>();
    // The frame's picture belongs to the application's image set: it goes first.
    auto screen = std::make_unique<Lumo::MemoryImage>();
    screen->SetSize(800, 600);
    auto g = std::make_unique<Lumo::Graphics>(screen.get());
    MeasureFrames(state, *game, *g, [] {});
    g.reset();
    screen.reset();
    game.reset();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// Arguments: 1 for the 3D device, 1 for a 16-bit desktop, 1 to show each frame.
void BM_GameFrameOnScreen(benchmark::State& state)
{
    const bool threeD = state.range(0) != 0;
    const GameBenchSetting setting("screen");
    if (!setting.Mounted()) {
        state.SkipWithError("res.pak is missing");
        return;
    }
    Platform::RegisterDirectDrawModule();
    Platform::RegisterAudioModules();
    Platform::DisplayDesktop::Reset();
    if (state.range(1) != 0) {
        Platform::DesktopFormat desktop;
        desktop.bitsPerPixel = 16;
        desktop.redMask = 0xF800;
        desktop.greenMask = 0x07E0;
        desktop.blueMask = 0x001F;
        Platform::DisplayDesktop::SetFormat(desktop);
    }
    auto game = std::make_unique<CGameApp>();
    game->mCommandLineRead = true;
    game->mWindowed = true;
    game->mForce3D = threeD;
    game->Initialize();
    Lumo::DDInterface* display = game->mDDInterface;
    if (!display || display->mIs3D != threeD) {
        state.SkipWithError("the display did not start on the path asked for");
        return;
    }
    Lumo::Graphics g(game->mWidgetManager->mScreenImage);
    const bool shown = state.range(2) != 0;
    MeasureFrames(state, *game, g, [&] {
        if (threeD)
            display->mD3DInterface->Flush();
        if (shown)
            benchmark::DoNotOptimize(display->Redraw(nullptr));
    });
}
BENCHMARK(BM_GameFrameOnScreen)
    ->ArgNames({"3d", "sixteen", "shown"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 1, 0})
    ->Args({1, 1, 0})
    ->Args({0, 0, 1})
    ->Args({1, 0, 1})
    ->Iterations(200)
    ->Repetitions(5)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

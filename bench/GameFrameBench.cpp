// One frame of the game in play as the program runs it: the real game loaded
// from the archive it ships, the first level of the level map started with
// its field full, the HUD panel on, and 1,000 live block particles; one update step
// of the board widget and one draw of the 800 x 600 frame, into a memory
// image, and into the display's screen and then shown in its window.
// "percent_of_10ms" is the part of one update's 10 ms budget that such a frame takes.

#include "app/CGameApp.h"
#include "BenchDisplayHost.h"
#include "GameBenchSetting.h"
#include "ParticleSpray.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/BlockDef.h"
#include "game/board/CGameField.h"
#include "game/board/CLevelController.h"
#include "game/data/CParticleSystem.h"
#include "game/screens/CBoardWidget.h"
#include "game/screens/CGamePanel.h"
#include "platform/display/DirectDraw.h"
#include "platform/process/Modules.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

constexpr int32_t kRuns = 4;
constexpr int32_t kPerRun = 250;
// Long enough for any intro of the sample content.
constexpr int32_t kIntroUpdates = 3000;

// The game loaded and its first level in play, with a spray of particles.
class PlayingGame {
public:
    explicit PlayingGame(const char* label) : mSetting(label)
    {
        if (!mSetting.Mounted()) {
            mError = "res.pak is missing";
            return;
        }
        mGame = std::make_unique<CGameApp>();
        mGame->StartLoadingThread();
        mGame->WaitForLoadingThread();
        mGame->OnLoadingDone();
        if (!mGame->LoadedOk()) {
            mError = "the game did not load";
            return;
        }
        mGame->mActive = true;
        CBoardWidget& board = *mGame->Board();
        CLevelController& level = *mGame->LevelController();
        board.SetFieldShown(true);
        board.SetBackgroundOn(true);
        board.SetFadeState(CBoardWidget::kFadeNone);
        board.SetFade(1.0f);
        mGame->SetGamePaused(false);
        level.StartLevel(0, 0);
        for (int32_t i = 0; i < kIntroUpdates && level.State() == CLevelController::kIntro; ++i)
            board.UpdateFraction(1.0f);
        level.BeginPlay();
        mGame->SetGamePaused(false);
        mGame->Panel()->SlideOnOff(true);

        // Blocks thrown as particles, as the bomb throws them.
        const int32_t sprite = mGame->Field()->BlockDefs().front().mSprite;
        mSpray = std::make_unique<ParticleSpray>(sprite, kRuns, kPerRun);
        mSpray->Emit();
    }
    ~PlayingGame()
    {
        if (mSpray)
            mSpray->Emitter().Release();
        CParticleSystem::Get().Emitters().clear();
        mGame.reset();
    }

    const char* Error() const { return mError; }

    // One update step of the board and one draw of the frame.
    void Frame(benchmark::State& state, Lumo::Graphics& g)
    {
        CBoardWidget& board = *mGame->Board();
        board.Update();
        board.UpdateFraction(1.0f);
        board.Draw(g);
        CParticleSystem::Get().Draw(g, mSpray->Emitter(), 0, 0);
        if (mSpray->Thinned()) {
            state.PauseTiming();
            mSpray->Emit();
            state.ResumeTiming();
        }
    }

    void Report(benchmark::State& state, std::chrono::duration<double> elapsed) const
    {
        state.counters["percent_of_10ms"] = elapsed.count() / double(state.iterations()) / 0.01 * 100.0;
        state.counters["blocks"] = double(mGame->Field()->ActiveBlocks());
        state.counters["live_particles"] = double(mSpray->Emitter().mLive);
        state.counters["playing"] = mGame->LevelController()->State() == CLevelController::kPlaying ? 1 : 0;
    }

private:
    GameBenchSetting mSetting;
    const char* mError = nullptr;
    std::unique_ptr<CGameApp> mGame;
    std::unique_ptr<ParticleSpray> mSpray;
};

void BM_GameFrame(benchmark::State& state)
{
    PlayingGame game("frame");
    if (game.Error()) {
        state.SkipWithError(game.Error());
        return;
    }
    // The frame's picture belongs to the application's image set: it goes first.
    auto screen = std::make_unique<Lumo::MemoryImage>();
    screen->SetSize(800, 600);
    auto g = std::make_unique<Lumo::Graphics>(screen.get());
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        game.Frame(state, *g);
    game.Report(state, std::chrono::steady_clock::now() - start);
    g.reset();
    screen.reset();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// The same frame drawn on the screen of an 800 x 600 windowed display, as the
// program draws it, and shown in its window on a headless desktop.
void BM_GameFrameShown(benchmark::State& state)
{
    PlayingGame game("shown");
    if (game.Error()) {
        state.SkipWithError(game.Error());
        return;
    }
    Platform::RegisterDirectDrawModule();
    BenchDisplayHost host;
    host.mModule = Platform::LoadLibraryA("ddraw.dll");
    host.mWidth = 800;
    host.mHeight = 600;
    auto display = std::make_unique<Lumo::DDInterface>(&host);
    host.mDisplay = display.get();
    if (display->Init(OpenBenchWindow(800, 600), true) != Lumo::DDInterface::RESULT_OK) {
        state.SkipWithError("the display did not open");
        return;
    }
    {
        Lumo::Graphics g(display->GetScreenImage());
        const auto start = std::chrono::steady_clock::now();
        for (auto _ : state) {
            game.Frame(state, g);
            benchmark::DoNotOptimize(display->Redraw(nullptr));
        }
        game.Report(state, std::chrono::steady_clock::now() - start);
    }
    display.reset();
    Platform::FreeLibrary(host.mModule);
}
BENCHMARK(BM_GameFrameShown)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

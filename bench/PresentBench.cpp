// The frame's way to the window at 800 x 600: its conversion into the
// window's 32-bit pixels from a 32-bit and a 565 surface, beside a memory copy
// of the 32-bit frame; a full screen of 1024 x 768 scaled pixels narrowed to
// a 16-bit screen's 565; and the present path alone (the display's present: the
// primary's copy and its changed rows handed to a headless window) for a frame
// whose every row changed and for one that did not change.

#include "framework/display/DDInterface.h"
#include "platform/backends/FrameConverter.h"
#include "platform/backends/FrameNarrower.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DirectDrawSurface.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/Modules.h"
#include "platform/storage/Registry.h"
#include "platform/storage/RegistryStore.h"

#include "BenchDisplayHost.h"
#include "MedianRuns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace Platform;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

const FrameFormat k565{16, 0xF800, 0x07E0, 0x001F, 0};
const FrameFormat kXrgb{32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};

void Convert(benchmark::State& state, bool sixteen)
{
    const FrameFormat& format = sixteen ? k565 : kXrgb;
    const int32_t pitch = kWidth * int32_t(format.bits / 8);
    std::vector<uint8_t> source(size_t(pitch) * kHeight);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = uint8_t(i * 7 + i / 4096);
    std::vector<uint32_t> dest(size_t(kWidth) * kHeight);
    const ShownFrame frame{source.data(), kWidth, kHeight, pitch, format, nullptr};
    for (auto _ : state) {
        FrameConverter::For(format).ConvertChanged(frame, reinterpret_cast<uint8_t*>(dest.data()), kWidth * 4, 0, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void Narrow(benchmark::State& state)
{
    constexpr int32_t kScreenWidth = 1024, kScreenHeight = 768;
    std::vector<uint32_t> scaled(size_t(kScreenWidth) * kScreenHeight);
    for (size_t i = 0; i < scaled.size(); ++i)
        scaled[i] = uint32_t(i * 2654435761u) | 0xFF000000u;
    std::vector<uint16_t> screen(scaled.size());
    for (auto _ : state) {
        for (int32_t y = 0; y < kScreenHeight; ++y)
            FrameNarrower::NarrowRow(scaled.data() + size_t(y) * kScreenWidth, screen.data() + size_t(y) * kScreenWidth,
                                     kScreenWidth, y);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenWidth * kScreenHeight);
}

void MemoryCopy(benchmark::State& state)
{
    std::vector<uint32_t> from(size_t(kWidth) * kHeight, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// A windowed display on a headless desktop of the format.
struct Stage {
    explicit Stage(bool sixteen)
    {
        DesktopFormat desktop;
        if (sixteen) {
            desktop.bitsPerPixel = 16;
            desktop.redMask = k565.red;
            desktop.greenMask = k565.green;
            desktop.blueMask = k565.blue;
        }
        DisplayDesktop::SetFormat(desktop);
        RegisterDirectDrawModule();
        app.mModule = LoadLibraryA("ddraw.dll");
        app.mWidth = kWidth;
        app.mHeight = kHeight;
        display = std::make_unique<Lumo::DDInterface>(&app);
        app.mDisplay = display.get();
        display->Init(OpenBenchWindow(kWidth, kHeight), true);
    }
    ~Stage()
    {
        display.reset();
        FreeLibrary(app.mModule);
    }

    HeadlessSession session;
    RegistryStore registry;
    ScopedRegistryStore registryScope{&registry};
    BenchDisplayHost app;
    std::unique_ptr<Lumo::DDInterface> display;
};

void Present(benchmark::State& state, bool sixteen, bool everyRow)
{
    Stage stage(sixteen);
    IDirectDrawSurface* drawn = stage.display->mDrawSurface;
    uint32_t stamp = 0;
    for (auto _ : state) {
        if (everyRow) {
            // One pixel a row, as a scrolling picture changes them all.
            state.PauseTiming();
            ++stamp;
            for (int y = 0; y < kHeight; ++y)
                drawn->SetPixelAt(y % kWidth, y, stamp & 0xFFFF);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(stage.display->Redraw(nullptr));
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

BENCHMARK_CAPTURE(Convert, 32bit, false);
BENCHMARK_CAPTURE(Convert, 565, true);
BENCHMARK(Narrow);
BENCHMARK(MemoryCopy);
BENCHMARK_CAPTURE(Present, EveryRow32, false, true);
BENCHMARK_CAPTURE(Present, Unchanged32, false, false);
BENCHMARK_CAPTURE(Present, EveryRow565, true, true);
BENCHMARK_CAPTURE(Present, Unchanged565, true, false);

void PrintSummary(const MedianRuns& rates)
{
    const auto copy = rates.Find("MemoryCopy");
    if (!copy)
        return;
    std::printf("\n%-34s %12s %14s\n", "path", "Mpx/s", "time / memcpy");
    for (const char* name : {"Convert/32bit", "Convert/565", "Present/EveryRow32", "Present/Unchanged32",
                             "Present/EveryRow565", "Present/Unchanged565"})
        if (const auto rate = rates.Find(name))
            std::printf("%-34s %12.1f %14.3f\n", name, *rate / 1e6, *copy / *rate);
}

} // namespace

int main(int argc, char** argv)
{
    MedianRuns::Initialize(argc, argv, 5, 0.1);
    MedianRuns rates([](const MedianRuns::Run& run) { return MedianRuns::Counter(run, "items_per_second"); });
    benchmark::RunSpecifiedBenchmarks(&rates);
    PrintSummary(rates);
    benchmark::Shutdown();
    return 0;
}

// The display's software blits into a locked surface at 800 x 600, on a
// 32-bit and a 565 display, beside the memory copy of the same bytes, the
// established software compositor doing the comparable operation, and the
// same sprites drawn as textured quads through the layer's 3D device.

#include "framework/display/DDImage.h"
#include "framework/display/SoftwareRasterizer.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/storage/Registry.h"
#include "platform/backends/headless/HeadlessSession.h"

#include "BenchDisplayHost.h"
#include "MedianRuns.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using Lumo::Color;
using Lumo::Rect;
using namespace Platform;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Discs with a soft rim on a transparent ground; opaque or half translucent.
std::vector<uint32_t> Sprites(bool translucent, bool keyed)
{
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x % 64) - 31.5, dy = (y % 64) - 31.5;
            const double edge = 28.0 - std::sqrt(dx * dx + dy * dy);
            uint32_t alpha = edge >= 1 ? 255 : edge <= 0 ? 0 : uint32_t(edge * 255);
            if (!translucent)
                alpha = keyed ? (alpha ? 255 : 0) : 255;
            else if (alpha == 255 && (y / 64) % 2)
                alpha = 128;
            const uint32_t rgb = uint32_t((x * 7) & 0xFF) << 16 | uint32_t((y * 5) & 0xFF) << 8 | 0x40;
            pixels[size_t(y) * kWidth + size_t(x)] = alpha << 24 | (alpha ? rgb : 0);
        }
    return pixels;
}

// One display in the format, drawing in software or through the 3D device,
// its screen image and the sources.
struct Stage {
    HeadlessSession session;
    // The self-test keeps its record in memory.
    RegistryStore registry;
    ScopedRegistryStore registryScope{&registry};
    BenchDisplayHost app;
    std::unique_ptr<Lumo::DDInterface> display;
    Lumo::MemoryImage* opaque = nullptr;
    Lumo::MemoryImage* keyed = nullptr;
    Lumo::MemoryImage* translucent = nullptr;
    std::vector<std::unique_ptr<Lumo::MemoryImage>> images;

    Stage(bool sixteen, bool threeD)
    {
        DesktopFormat desktop;
        if (sixteen) {
            desktop.bitsPerPixel = 16;
            desktop.redMask = 0xF800;
            desktop.greenMask = 0x07E0;
            desktop.blueMask = 0x001F;
        }
        DisplayDesktop::SetFormat(desktop);
        RegisterDirectDrawModule();
        app.mModule = LoadLibraryA("ddraw.dll");
        app.mWidth = kWidth;
        app.mHeight = kHeight;
        HWND window = OpenBenchWindow(kWidth, kHeight);
        app.mForce3D = threeD;
        display = std::make_unique<Lumo::DDInterface>(&app);
        app.mDisplay = display.get();
        display->Init(window, true);
        opaque = Add(Sprites(false, false));
        keyed = Add(Sprites(false, true));
        translucent = Add(Sprites(true, false));
    }
    ~Stage()
    {
        images.clear();
        display.reset();
        FreeLibrary(app.mModule);
    }
    Lumo::MemoryImage* Add(const std::vector<uint32_t>& pixels)
    {
        images.push_back(std::make_unique<Lumo::MemoryImage>(&app));
        images.back()->SetBits(pixels.data(), kWidth, kHeight, true);
        return images.back().get();
    }
};

Stage& StageFor(bool sixteen, bool threeD = false)
{
    static Stage thirtyTwo(false, false);
    static Stage sixteenBits(true, false);
    static Stage thirtyTwo3D(false, true);
    static Stage sixteenBits3D(true, true);
    if (threeD)
        return sixteen ? sixteenBits3D : thirtyTwo3D;
    return sixteen ? sixteenBits : thirtyTwo;
}

void Blit(benchmark::State& state, bool sixteen, int kind)
{
    Stage& stage = StageFor(sixteen);
    Lumo::DDImage* screen = stage.display->GetScreenImage();
    const Rect whole{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        switch (kind) {
        case 0: screen->Blit(stage.opaque, 0, 0, whole, Color::White, 0); break;
        case 1: screen->Blit(stage.keyed, 0, 0, whole, Color::White, 0); break;
        case 2: screen->Blit(stage.translucent, 0, 0, whole, Color::White, 0); break;
        case 3: screen->Blit(stage.translucent, 0, 0, whole, Color(200, 120, 60, 200), 0); break;
        default: screen->Blit(stage.translucent, 0, 0, whole, Color::White, 1); break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void MemoryCopy(benchmark::State& state, size_t bytesPerPixel)
{
    std::vector<uint8_t> from(size_t(kWidth) * kHeight * bytesPerPixel, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void Compositor(benchmark::State& state, bool sixteen, pixman_op_t op)
{
    std::vector<uint32_t> sprites = Sprites(true, false);
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, sprites.data(), kWidth * 4);
    std::vector<uint32_t> screenPixels(size_t(kWidth) * kHeight);
    pixman_image_t* screen = pixman_image_create_bits(sixteen ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, kWidth, kHeight,
                                                      screenPixels.data(), kWidth * (sixteen ? 2 : 4));
    for (auto _ : state) {
        pixman_image_composite32(op, source, nullptr, screen, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(screen);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// Rotated by 0.3 rad, stretched 800 x 600 onto the screen, or as two
// textured triangles, from the translucent sprites.
void Resample(benchmark::State& state, bool sixteen, int kind)
{
    Stage& stage = StageFor(sixteen);
    static Lumo::SoftwareRasterizer rasterizer;
    stage.app.mRasterizer = &rasterizer;
    Lumo::DDImage* screen = stage.display->GetScreenImage();
    const int size = int(state.range(0));
    const Rect from{0, 0, size, size};
    const Rect whole{0, 0, kWidth, kHeight};
    const float w = float(size), u = float(size) / kWidth, v = float(size) / kHeight;
    const Lumo::TriVertex quad[2][3] = {{{0, 0, 0, 0, 0}, {w, 0, u, 0, 0}, {0, w, 0, v, 0}},
                                        {{w, 0, u, 0, 0}, {w, w, u, v, 0}, {0, w, 0, v, 0}}};
    for (auto _ : state) {
        switch (kind) {
        case 0: screen->BlitRotated(stage.translucent, 0, 0, from, whole, Color::White, 0, 0.3, w / 2, w / 2); break;
        case 1: screen->BlitStretched(stage.translucent, Rect{0, 0, size, size}, Rect{0, 0, 64, 64}, whole, Color::White, 0, true); break;
        default: screen->BlitTriangles(stage.translucent, quad, 2, whole, Color::White, 0, 0, 0, true); break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}

// The translucent sprites as one frame of the 3D device: a plain blit, an
// additive one, or rotated by 0.3 rad at the given size; the scene ends with
// each frame.
void Device3D(benchmark::State& state, bool sixteen, int kind)
{
    Stage& stage = StageFor(sixteen, true);
    if (!stage.display->mIs3D) {
        state.SkipWithError("the 3D device did not start");
        return;
    }
    Lumo::DDImage* screen = stage.display->GetScreenImage();
    const int size = kind == 2 ? int(state.range(0)) : kWidth;
    const Rect whole{0, 0, kWidth, kHeight};
    const Rect from{0, 0, size, kind == 2 ? size : kHeight};
    for (auto _ : state) {
        switch (kind) {
        case 0: screen->Blit(stage.translucent, 0, 0, whole, Color::White, 0); break;
        case 1: screen->Blit(stage.translucent, 0, 0, whole, Color::White, 1); break;
        default: screen->BlitRotated(stage.translucent, 0, 0, from, whole, Color::White, 0, 0.3, size / 2.0f, size / 2.0f); break;
        }
        stage.display->mD3DInterface->Flush();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * from.mWidth * from.mHeight);
}

// The reference: a bilinear transformed composite of the same sprites.
void CompositorRotated(benchmark::State& state, bool sixteen)
{
    std::vector<uint32_t> sprites = Sprites(true, false);
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, sprites.data(), kWidth * 4);
    std::vector<uint32_t> screenPixels(size_t(kWidth) * kHeight);
    pixman_image_t* screen = pixman_image_create_bits(sixteen ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, kWidth, kHeight,
                                                      screenPixels.data(), kWidth * (sixteen ? 2 : 4));
    pixman_transform_t turn;
    pixman_transform_init_rotate(&turn, pixman_double_to_fixed(std::cos(0.3)), pixman_double_to_fixed(std::sin(0.3)));
    pixman_image_set_transform(source, &turn);
    pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    const int size = int(state.range(0));
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, screen, 0, 0, 0, 0, 0, 0, size, size);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(screen);
    state.SetItemsProcessed(state.iterations() * size * size);
}

} // namespace

BENCHMARK_CAPTURE(Resample, Rotated32, false, 0)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(Resample, Stretched32, false, 1)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(Resample, Triangles32, false, 2)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(CompositorRotated, Bilinear32, false)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(Resample, Rotated565, true, 0)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(Resample, Stretched565, true, 1)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(CompositorRotated, Bilinear565, true)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(Device3D, Rotated32, false, 2)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(Device3D, Rotated565, true, 2)->Arg(64)->Arg(600);
BENCHMARK_CAPTURE(MemoryCopy, 32bit, 4);
BENCHMARK_CAPTURE(MemoryCopy, 565, 2);
BENCHMARK_CAPTURE(Blit, Opaque32, false, 0);
BENCHMARK_CAPTURE(Blit, Keyed32, false, 1);
BENCHMARK_CAPTURE(Blit, AlphaRuns32, false, 2);
BENCHMARK_CAPTURE(Blit, Tinted32, false, 3);
BENCHMARK_CAPTURE(Blit, Additive32, false, 4);
BENCHMARK_CAPTURE(Compositor, Over32, false, PIXMAN_OP_OVER);
BENCHMARK_CAPTURE(Compositor, Add32, false, PIXMAN_OP_ADD);
BENCHMARK_CAPTURE(Device3D, Sprite32, false, 0);
BENCHMARK_CAPTURE(Device3D, Additive32, false, 1);
BENCHMARK_CAPTURE(Blit, Opaque565, true, 0);
BENCHMARK_CAPTURE(Blit, Keyed565, true, 1);
BENCHMARK_CAPTURE(Blit, AlphaRuns565, true, 2);
BENCHMARK_CAPTURE(Blit, Tinted565, true, 3);
BENCHMARK_CAPTURE(Blit, Additive565, true, 4);
BENCHMARK_CAPTURE(Compositor, Over565, true, PIXMAN_OP_OVER);
BENCHMARK_CAPTURE(Device3D, Sprite565, true, 0);
BENCHMARK_CAPTURE(Device3D, Additive565, true, 1);

namespace {

// The summary: each path beside the memory copy of its bytes and the
// compositor's comparable operation, in Mpixels/s.
struct Comparison {
    const char* path;
    const char* ours;
    const char* copy;
    const char* reference;
};

constexpr Comparison kComparisons[] = {
    {"opaque blit, 32-bit", "Blit/Opaque32", "MemoryCopy/32bit", nullptr},
    {"alpha-run blit, 32-bit", "Blit/AlphaRuns32", "MemoryCopy/32bit", "Compositor/Over32"},
    {"tinted blit, 32-bit", "Blit/Tinted32", "MemoryCopy/32bit", "Compositor/Over32"},
    {"additive blit, 32-bit", "Blit/Additive32", "MemoryCopy/32bit", "Compositor/Add32"},
    {"rotated blit, 32-bit, 64", "Resample/Rotated32/64", "MemoryCopy/32bit", "CompositorRotated/Bilinear32/64"},
    {"rotated blit, 32-bit, 600", "Resample/Rotated32/600", "MemoryCopy/32bit", "CompositorRotated/Bilinear32/600"},
    {"alpha-run blit, 565", "Blit/AlphaRuns565", "MemoryCopy/565", "Compositor/Over565"},
    {"tinted blit, 565", "Blit/Tinted565", "MemoryCopy/565", "Compositor/Over565"},
    {"rotated blit, 565, 64", "Resample/Rotated565/64", "MemoryCopy/565", "CompositorRotated/Bilinear565/64"},
    {"rotated blit, 565, 600", "Resample/Rotated565/600", "MemoryCopy/565", "CompositorRotated/Bilinear565/600"},
};

void PrintSummary(const MedianRuns& rates)
{
    std::printf("\n%-28s %12s %12s %12s %10s %10s\n", "path", "ours Mpx/s", "memcpy", "pixman", "/memcpy",
                "/pixman");
    for (const Comparison& row : kComparisons) {
        const auto ours = rates.Find(row.ours);
        const auto copy = rates.Find(row.copy);
        if (!ours || !copy)
            continue;
        const double reference = row.reference ? rates.Find(row.reference).value_or(0) : 0;
        std::printf("%-28s %12.1f %12.1f ", row.path, *ours / 1e6, *copy / 1e6);
        if (reference > 0)
            std::printf("%12.1f %10.3f %10.3f\n", reference / 1e6, *ours / *copy, *ours / reference);
        else
            std::printf("%12s %10.3f %10s\n", "-", *ours / *copy, "-");
    }
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

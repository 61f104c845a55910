// The software imaging hot paths against the memory copy of the same bytes
// (the physical limit) and the established software compositor doing the
// comparable operation on the same images. Prints Mpixels/s and the ratios.

#include "framework/graphics/images/DefaultImageHost.h"
#include "framework/graphics/images/MemoryImage.h"

#include "MedianRuns.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Lumo::Color;
using Lumo::MemoryImage;
using Lumo::Rect;

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kSpriteX = 100;
constexpr int kSpriteY = 100;

struct Extent {
    int width;
    int height;
    const char* name;
};

const Extent kExtents[] = {{kScreenWidth, kScreenHeight, "800x600"}, {64, 64, "64x64"}};

// A typical sprite: an opaque disc with a one-pixel soft rim on a transparent
// ground, tiled to the size asked for.
std::vector<uint32_t> SpritePixels(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = (x % 64) - 31.5;
            const double dy = (y % 64) - 31.5;
            const double edge = 28.0 - std::sqrt(dx * dx + dy * dy);
            const uint32_t alpha = edge >= 1 ? 255 : edge <= 0 ? 0 : uint32_t(edge * 255);
            const uint32_t rgb = uint32_t((x * 7) & 0xFF) << 16 | uint32_t((y * 5) & 0xFF) << 8 | 0x40;
            pixels[size_t(y) * size_t(width) + size_t(x)] = alpha << 24 | (alpha ? rgb : 0);
        }
    }
    return pixels;
}

std::vector<uint32_t> TranslucentPixels(int width, int height)
{
    std::vector<uint32_t> pixels = SpritePixels(width, height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (0x40 + uint32_t(i % 128)) << 24 | (pixels[i] & 0xFFFFFF) | 0x102030;
    return pixels;
}

// Opaque glow on black, as additive content is made.
std::vector<uint32_t> GlowPixels(int width, int height)
{
    std::vector<uint32_t> pixels = SpritePixels(width, height);
    for (uint32_t& pixel : pixels)
        pixel = 0xFF000000 | ((pixel >> 24) ? (pixel & 0x7F7F7F) : 0);
    return pixels;
}

std::vector<uint32_t> Premultiplied(const std::vector<uint32_t>& pixels)
{
    std::vector<uint32_t> out(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t a = pixels[i] >> 24;
        uint32_t value = a << 24;
        for (int shift = 0; shift < 24; shift += 8)
            value |= (((pixels[i] >> shift) & 0xFF) * a / 255) << shift;
        out[i] = value;
    }
    return out;
}

class PixmanImage {
public:
    PixmanImage(std::vector<uint32_t> pixels, int width, int height)
        : mPixels(std::move(pixels)),
          mImage(pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, mPixels.data(), width * 4))
    {
    }
    ~PixmanImage() { pixman_image_unref(mImage); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;
    pixman_image_t* Get() const { return mImage; }

private:
    std::vector<uint32_t> mPixels;
    pixman_image_t* mImage;
};

class SolidImage {
public:
    explicit SolidImage(const Color& c)
    {
        const auto wide = [&](int v) { return uint16_t(v * c.mAlpha / 255 * 257); };
        const pixman_color_t color{wide(c.mRed), wide(c.mGreen), wide(c.mBlue), uint16_t(c.mAlpha * 257)};
        mImage = pixman_image_create_solid_fill(&color);
    }
    ~SolidImage() { pixman_image_unref(mImage); }
    SolidImage(const SolidImage&) = delete;
    SolidImage& operator=(const SolidImage&) = delete;
    pixman_image_t* Get() const { return mImage; }

private:
    pixman_image_t* mImage;
};

// One operation at one size, timed three ways.
struct Operation {
    std::string name;
    // Source pixels in straight alpha, the size the operation reads.
    std::function<std::vector<uint32_t>(int, int)> source;
    double sourceScale;   // source size relative to the destination area
    std::function<void(MemoryImage& screen, MemoryImage& source, const Extent&)> ours;
    std::function<void(pixman_image_t* screen, pixman_image_t* source, const Extent&)> pixman;
};

Lumo::DefaultImageHost& Host()
{
    static Lumo::DefaultImageHost host;
    return host;
}

Rect Area(const Extent& e)
{
    return e.width == kScreenWidth ? Rect{0, 0, e.width, e.height} : Rect{kSpriteX, kSpriteY, e.width, e.height};
}

void SetScale(pixman_image_t* source, double scale, pixman_filter_t filter)
{
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(scale), pixman_double_to_fixed(scale));
    pixman_image_set_transform(source, &transform);
    pixman_image_set_filter(source, filter, nullptr, 0);
}

std::vector<Operation> Operations()
{
    const Color tint(255, 200, 150, 200);
    const Color translucentFill(40, 80, 120, 128);
    const Color opaqueFill(40, 80, 120, 255);
    const double angle = 0.3;
    // Made once, so that the timed calls only composite.
    auto tintMask = std::make_shared<SolidImage>(tint);
    pixman_image_set_component_alpha(tintMask->Get(), 1);
    auto translucentSolid = std::make_shared<SolidImage>(translucentFill);
    auto opaqueSolid = std::make_shared<SolidImage>(opaqueFill);
    return {
        {"sprite blit", SpritePixels, 1,
         [](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             const Rect area = Area(e);
             screen.Blit(&source, area.mX, area.mY, Rect{0, 0, e.width, e.height}, Color::White, 0);
         },
         [](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, screen, 0, 0, 0, 0, area.mX, area.mY, e.width,
                                      e.height);
         }},
        {"translucent blit", TranslucentPixels, 1,
         [](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             const Rect area = Area(e);
             screen.Blit(&source, area.mX, area.mY, Rect{0, 0, e.width, e.height}, Color::White, 0);
         },
         [](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, screen, 0, 0, 0, 0, area.mX, area.mY, e.width,
                                      e.height);
         }},
        {"colour-modulated blit", SpritePixels, 1,
         [tint](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             const Rect area = Area(e);
             screen.Blit(&source, area.mX, area.mY, Rect{0, 0, e.width, e.height}, tint, 0);
         },
         [tintMask](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             pixman_image_composite32(PIXMAN_OP_OVER, source, tintMask->Get(), screen, 0, 0, 0, 0, area.mX, area.mY,
                                      e.width, e.height);
         }},
        {"additive blit", GlowPixels, 1,
         [](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             const Rect area = Area(e);
             screen.Blit(&source, area.mX, area.mY, Rect{0, 0, e.width, e.height}, Color::White, 1);
         },
         [](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             pixman_image_composite32(PIXMAN_OP_ADD, source, nullptr, screen, 0, 0, 0, 0, area.mX, area.mY, e.width,
                                      e.height);
         }},
        {"opaque fill", SpritePixels, 1,
         [opaqueFill](MemoryImage& screen, MemoryImage&, const Extent& e) { screen.FillRect(Area(e), opaqueFill, 0); },
         [opaqueSolid](pixman_image_t* screen, pixman_image_t*, const Extent& e) {
             const Rect area = Area(e);
             pixman_image_composite32(PIXMAN_OP_SRC, opaqueSolid->Get(), nullptr, screen, 0, 0, 0, 0, area.mX, area.mY,
                                      e.width, e.height);
         }},
        {"translucent fill", SpritePixels, 1,
         [translucentFill](MemoryImage& screen, MemoryImage&, const Extent& e) {
             screen.FillRect(Area(e), translucentFill, 0);
         },
         [translucentSolid](pixman_image_t* screen, pixman_image_t*, const Extent& e) {
             const Rect area = Area(e);
             pixman_image_composite32(PIXMAN_OP_OVER, translucentSolid->Get(), nullptr, screen, 0, 0, 0, 0, area.mX, area.mY,
                                      e.width, e.height);
         }},
        {"quick stretch", SpritePixels, 0.5,
         [](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             screen.BlitStretched(&source, Area(e), Rect{0, 0, source.mWidth, source.mHeight},
                                  Rect{0, 0, kScreenWidth, kScreenHeight}, Color::White, 0, true);
         },
         [](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             SetScale(source, 0.5, PIXMAN_FILTER_NEAREST);
             pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, screen, 0, 0, 0, 0, area.mX, area.mY, e.width,
                                      e.height);
         }},
        {"smooth stretch", SpritePixels, 0.5,
         [](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             screen.BlitStretched(&source, Area(e), Rect{0, 0, source.mWidth, source.mHeight},
                                  Rect{0, 0, kScreenWidth, kScreenHeight}, Color::White, 0, false);
         },
         [](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             SetScale(source, 0.5, PIXMAN_FILTER_BILINEAR);
             pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, screen, 0, 0, 0, 0, area.mX, area.mY, e.width,
                                      e.height);
         }},
        {"rotated blit", SpritePixels, 1,
         [angle](MemoryImage& screen, MemoryImage& source, const Extent& e) {
             const Rect area = Area(e);
             screen.BlitRotated(&source, float(area.mX), float(area.mY), Rect{0, 0, e.width, e.height},
                                Rect{0, 0, kScreenWidth, kScreenHeight}, Color::White, 0, angle,
                                float(e.width) / 2, float(e.height) / 2);
         },
         [angle](pixman_image_t* screen, pixman_image_t* source, const Extent& e) {
             const Rect area = Area(e);
             // Destination to source: about the centre, as ours.
             pixman_transform_t transform;
             pixman_transform_init_translate(&transform, pixman_double_to_fixed(-e.width / 2.0),
                                             pixman_double_to_fixed(-e.height / 2.0));
             pixman_transform_rotate(&transform, nullptr, pixman_double_to_fixed(std::cos(angle)),
                                     pixman_double_to_fixed(std::sin(angle)));
             pixman_transform_translate(&transform, nullptr, pixman_double_to_fixed(e.width / 2.0),
                                        pixman_double_to_fixed(e.height / 2.0));
             pixman_image_set_transform(source, &transform);
             pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
             pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, screen, 0, 0, 0, 0, area.mX, area.mY, e.width,
                                      e.height);
         }},
    };
}

void SetRate(benchmark::State& state, const Extent& e)
{
    state.counters["pixels"] =
        benchmark::Counter(double(e.width) * e.height, benchmark::Counter::kIsIterationInvariantRate);
}

std::vector<uint32_t> ScreenPixels()
{
    std::vector<uint32_t> pixels(size_t(kScreenWidth) * kScreenHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000 | uint32_t(i * 2654435761u) >> 8;
    return pixels;
}

void RegisterOperation(const Operation& op, const Extent& e)
{
    const std::string key = op.name + "/" + e.name;
    const int sourceWidth = int(e.width * op.sourceScale);
    const int sourceHeight = int(e.height * op.sourceScale);

    benchmark::RegisterBenchmark((key + "/ours").c_str(), [=](benchmark::State& state) {
        MemoryImage screen(&Host());
        std::vector<uint32_t> pixels = ScreenPixels();
        screen.SetBits(pixels.data(), kScreenWidth, kScreenHeight, true);
        MemoryImage source(&Host());
        std::vector<uint32_t> sourcePixels = op.source(sourceWidth, sourceHeight);
        source.SetBits(sourcePixels.data(), sourceWidth, sourceHeight, true);
        for (auto _ : state) {
            op.ours(screen, source, e);
            benchmark::ClobberMemory();
        }
        SetRate(state, e);
    });
    benchmark::RegisterBenchmark((key + "/memcpy").c_str(), [=](benchmark::State& state) {
        std::vector<uint32_t> screen = ScreenPixels();
        std::vector<uint32_t> source(size_t(e.width) * e.height, 0xFF102030);
        const Rect area = Area(e);
        for (auto _ : state) {
            for (int y = 0; y < e.height; ++y)
                std::memcpy(&screen[size_t(area.mY + y) * kScreenWidth + size_t(area.mX)],
                            &source[size_t(y) * size_t(e.width)], size_t(e.width) * 4);
            benchmark::ClobberMemory();
        }
        SetRate(state, e);
    });
    benchmark::RegisterBenchmark((key + "/pixman").c_str(), [=](benchmark::State& state) {
        PixmanImage screen(ScreenPixels(), kScreenWidth, kScreenHeight);
        PixmanImage source(Premultiplied(op.source(sourceWidth, sourceHeight)), sourceWidth, sourceHeight);
        for (auto _ : state) {
            op.pixman(screen.Get(), source.Get(), e);
            benchmark::ClobberMemory();
        }
        SetRate(state, e);
    });
}

void PrintSummary(const MedianRuns& rates)
{
    std::printf("\n%-32s %12s %12s %12s %10s %10s\n", "operation", "ours Mpx/s", "memcpy", "pixman", "/memcpy",
                "/pixman");
    for (const Operation& op : Operations()) {
        for (const Extent& e : kExtents) {
            const std::string key = op.name + "/" + e.name;
            const auto ours = rates.Find(key + "/ours");
            const auto copy = rates.Find(key + "/memcpy");
            const auto pixman = rates.Find(key + "/pixman");
            if (!ours || !copy || !pixman)
                continue;
            std::printf("%-32s %12.1f %12.1f %12.1f %10.3f %10.3f\n", key.c_str(), *ours / 1e6, *copy / 1e6,
                        *pixman / 1e6, *ours / *copy, *ours / *pixman);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    MedianRuns::Initialize(argc, argv, 5, 0.1);
    for (const Operation& op : Operations())
        for (const Extent& e : kExtents)
            RegisterOperation(op, e);
    MedianRuns rates([](const MedianRuns::Run& run) { return MedianRuns::Counter(run, "pixels"); });
    benchmark::RunSpecifiedBenchmarks(&rates);
    PrintSummary(rates);
    benchmark::Shutdown();
    return 0;
}

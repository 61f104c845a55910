#include "tests/display/DisplayFixture.h"

#include "framework/display/SoftwareRasterizer.h"
#include "framework/graphics/Matrix3.h"

#include <functional>

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class RasterScreen : public DisplayTest::DisplayFixture {};

// Every geometric operation draws on the screen image's own surface and
// leaves it attached, so that the next draw still reaches the screen.
TEST_F(RasterScreen, EveryOperationKeepsTheScreenSurface)
{
    Lumo::SoftwareRasterizer rasterizer;
    mApp.mRasterizer = &rasterizer;
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    const std::vector<uint32_t> white(16, 0xFFFFFFFF);
    source.SetBits(white.data(), 4, 4, true);
    Lumo::MemoryImage mask(&mApp);
    mask.SetBits(white.data(), 4, 4, true);
    const Rect whole{0, 0, 4, 4};
    const Rect clip{0, 0, 200, 150};
    const Lumo::TriVertex triangle[1][3] = {{{10, 10, 0, 0, 0}, {20, 10, 1, 0, 0}, {10, 20, 0, 1, 0}}};
    Lumo::Span span{40, 40, 4};
    const uint8_t coverage[4] = {255, 255, 255, 255};

    const struct {
        const char* name;
        std::function<void(Lumo::DDImage*)> draw;
        int x;
        int y;
    } operations[] = {
        {"rotated", [&](Lumo::DDImage* s) { s->BlitRotated(&source, 10, 10, whole, clip, Color::White, 0, 0.5, 2, 2); },
         11, 11},
        {"stretched", [&](Lumo::DDImage* s) { s->BlitStretched(&source, Rect{30, 0, 8, 8}, whole, clip, Color::White, 0, true); },
         33, 3},
        {"smooth", [&](Lumo::DDImage* s) { s->BlitStretched(&source, Rect{50, 0, 8, 8}, whole, clip, Color::White, 0, false); },
         53, 3},
        {"mirrored", [&](Lumo::DDImage* s) { s->BlitStretchedMirrored(&source, Rect{70, 0, 8, 8}, whole, clip, Color::White, 0, true); },
         73, 3},
        {"transformed", [&](Lumo::DDImage* s) { s->BlitTransformed(&source, 100, 100, Lumo::Matrix3(), clip, Color::White, 0, whole, false); },
         100, 100},
        {"triangles", [&](Lumo::DDImage* s) { s->BlitTriangles(&source, triangle, 1, clip, Color::White, 0, 0, 0, false); },
         12, 12},
        {"masked", [&](Lumo::DDImage* s) { s->BlitWithAlphaMask(&source, 90, 0, whole, &mask, whole, Color::White, 0); },
         91, 1},
        {"coverage", [&](Lumo::DDImage* s) { Lumo::Span copy = span; s->FillSpansWithCoverage(&copy, 1, Color::White, 0, coverage, 40, 40, 4, 0); },
         41, 40},
        {"float", [&](Lumo::DDImage* s) { s->BlitFloat(&source, 120, 0, whole, clip, Color::White, 0); }, 121, 1},
    };
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.name);
        Lumo::DDImage* screen = Screen();
        IDirectDrawSurface* surface = mDisplay->mDrawSurface;
        screen->FillRect(Rect{0, 0, 200, 150}, Color(0, 0, 0), 0);
        operation.draw(screen);
        ASSERT_EQ(screen->mSurface, surface);
        EXPECT_NE(Pixel(surface, operation.x, operation.y) & 0xFFFFFF, 0u);
        screen->FillRect(Rect{199, 149, 1, 1}, Color(255, 255, 255), 0);
        EXPECT_NE(Pixel(surface, 199, 149) & 0xFFFFFF, 0u);
    }
}

// Clearing or replacing the screen image's pixels reaches the window's
// surface, and the image keeps drawing on that surface afterwards.
TEST_F(RasterScreen, ClearsAndNewPixelsReachTheScreenSurface)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    const std::vector<uint32_t> black(200 * 150, 0xFF000000);
    const struct {
        const char* name;
        std::function<void(Lumo::DDImage*)> change;
    } operations[] = {
        {"clear rect", [](Lumo::DDImage* s) { s->ClearRect(Rect{0, 0, 4, 4}); }},
        {"clear", [](Lumo::DDImage* s) { s->Clear(); }},
        {"set bits", [&](Lumo::DDImage* s) { s->SetBits(black.data(), 200, 150, false); }},
    };
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.name);
        Lumo::DDImage* screen = Screen();
        IDirectDrawSurface* surface = mDisplay->mDrawSurface;
        screen->FillRect(Rect{0, 0, 200, 150}, Color(255, 255, 255), 0);
        operation.change(screen);
        ASSERT_EQ(screen->mSurface, surface);
        EXPECT_EQ(Pixel(surface, 1, 1) & 0xFFFFFF, 0u);
        screen->FillRect(Rect{199, 149, 1, 1}, Color(0, 0, 255), 0);
        const uint32_t shown = Pixel(surface, 199, 149);
        EXPECT_EQ(shown & 0xFFFF00, 0u); // blue alone
        EXPECT_GE(shown & 0xFF, 0xF0u);
    }
}

} // namespace

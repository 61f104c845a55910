#include "tests/display/DisplayFixture.h"

#include "framework/display/SoftwareRasterizer.h"

#include <cstdlib>
#include <functional>

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class BothPaths : public DisplayTest::DisplayFixture {
protected:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

    // The screen after the drawing, as 0xRRGGBB per pixel.
    std::vector<uint32_t> Frame(bool through3D, const std::function<void()>& draw)
    {
        mApp.mForce3D = through3D;
        mApp.mRasterizer = &mRasterizer;
        EXPECT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
        EXPECT_EQ(mDisplay->mIs3D, through3D);
        Screen()->FillRect(Rect{0, 0, kWidth, kHeight}, Color(0x20, 0x40, 0x60), 0);
        draw();
        mDisplay->mD3DInterface->Flush();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.push_back(mDisplay->mDrawSurface->PixelAt(x, y) & 0xFFFFFF);
        mDisplay.reset();
        mApp.mDisplay = nullptr;
        return pixels;
    }

    std::unique_ptr<Lumo::MemoryImage> Picture(int width, int height, uint8_t alpha)
    {
        auto image = std::make_unique<Lumo::MemoryImage>(&mApp);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(uint32_t(alpha) << 24 | uint32_t(x * 255 / width) << 16 |
                                 uint32_t(y * 255 / height) << 8 | 0x80);
        image->SetBits(pixels.data(), width, height, true);
        return image;
    }

    Lumo::SoftwareRasterizer mRasterizer;
};

TEST_F(BothPaths, OneFrameDrawnBothWaysAgreesWithinTheFilteringTolerance)
{
    auto opaque = Picture(32, 24, 0xFF);
    auto translucent = Picture(32, 24, 0x80);
    const Rect clip{0, 0, kWidth, kHeight};
    const Rect whole{0, 0, 32, 24};
    Lumo::Matrix3 turn;
    turn.Rotate(0.3f);
    struct Case {
        const char* name;
        std::function<void()> draw;
        // Largest channel difference at any pixel, and the share of pixels
        // allowed beyond it (filtered edges). The software blends shift by 8,
        // so a colour may come out one step darker; an opaque picture goes to
        // a 5-6-5 texture, whose steps are up to 8 wide.
        int tolerance;
        double outliers;
    };
    const Case cases[] = {
        {"fill", [&] { Screen()->FillRect(Rect{10, 10, 50, 30}, Color(200, 100, 50), 0); }, 1, 0},
        {"translucent fill", [&] { Screen()->FillRect(Rect{10, 10, 50, 30}, Color(200, 100, 50, 128), 0); }, 2, 0},
        {"additive fill", [&] { Screen()->FillRect(Rect{10, 10, 50, 30}, Color(200, 100, 50, 255), 1); }, 2, 0},
        {"blit", [&] { Screen()->Blit(opaque.get(), 7, 9, whole, Color::White, 0); }, 8, 0},
        {"translucent blit", [&] { Screen()->Blit(translucent.get(), 7, 9, whole, Color::White, 0); }, 2, 0},
        {"tinted blit", [&] { Screen()->Blit(opaque.get(), 7, 9, whole, Color(255, 128, 0, 200), 0); }, 8, 0},
        {"additive blit", [&] { Screen()->Blit(translucent.get(), 7, 9, whole, Color::White, 1); }, 2, 0},
        {"mirrored blit", [&] { Screen()->BlitMirrored(opaque.get(), 7, 9, whole, Color::White, 0); }, 8, 0},
        {"quick stretch",
         [&] { Screen()->BlitStretched(opaque.get(), Rect{5, 5, 64, 48}, whole, clip, Color::White, 0, true); }, 8, 0},
        // Its slope never puts a pixel centre half-way between two rows, where
        // the two paths round apart.
        {"line", [&] { Screen()->DrawLine(10, 10, 91, 37, Color(255, 255, 0), 0); }, 1, 0.0001},
        {"rotated blit",
         [&] { Screen()->BlitRotated(opaque.get(), 50, 40, whole, clip, Color::White, 0, 0.3, 16, 12); }, 24, 0.01},
        {"transformed blit",
         [&] { Screen()->BlitTransformed(opaque.get(), 80, 60, turn, clip, Color::White, 0, whole, false); }, 24,
         0.01},
    };
    for (const Case& each : cases) {
        const std::vector<uint32_t> soft = Frame(false, each.draw);
        const std::vector<uint32_t> hard = Frame(true, each.draw);
        int beyond = 0;
        int largest = 0;
        for (size_t i = 0; i < soft.size(); ++i) {
            int difference = 0;
            for (int shift = 0; shift < 24; shift += 8)
                difference = std::max(difference, std::abs(int((soft[i] >> shift) & 0xFF) - int((hard[i] >> shift) & 0xFF)));
            largest = std::max(largest, difference);
            if (difference > each.tolerance)
                ++beyond;
        }
        EXPECT_LE(beyond, int(each.outliers * double(soft.size()))) << each.name << ": largest " << largest;
        EXPECT_NE(soft, Frame(false, [] {})) << each.name << " drew nothing";
    }
}

} // namespace

#include "tests/display/DisplayFixture.h"

#include "framework/display/SoftwareRasterizer.h"

#include <bit>
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

    // The screen after the drawing on the desktop, as raw pixels.
    std::vector<uint32_t> Frame(const DesktopFormat& desktop, bool through3D, const std::function<void()>& draw)
    {
        mApp.mForce3D = through3D;
        mApp.mRasterizer = &mRasterizer;
        EXPECT_EQ(Open(desktop), DDInterface::RESULT_OK);
        EXPECT_EQ(mDisplay->mIs3D, through3D);
        Screen()->FillRect(Rect{0, 0, kWidth, kHeight}, Color(0x20, 0x40, 0x60), 0);
        draw();
        mDisplay->mD3DInterface->Flush();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.push_back(mDisplay->mDrawSurface->PixelAt(x, y));
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
    auto clear = Picture(32, 24, 0);
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
        // a 5-6-5 texture, whose steps are up to 8 wide. On a 5-6-5 desktop the
        // difference counts the channel's own steps: the 2D routines blend
        // there with weights of 5 bits.
        int tolerance;
        int steps;
        double outliers;
    };
    const Case cases[] = {
        {"fill", [&] { Screen()->FillRect(Rect{10, 10, 50, 30}, Color(200, 100, 50), 0); }, 1, 1, 0},
        {"translucent fill", [&] { Screen()->FillRect(Rect{10, 10, 50, 30}, Color(200, 100, 50, 128), 0); }, 2, 1, 0},
        {"additive fill", [&] { Screen()->FillRect(Rect{10, 10, 50, 30}, Color(200, 100, 50, 255), 1); }, 2, 1, 0},
        {"blit", [&] { Screen()->Blit(opaque.get(), 7, 9, whole, Color::White, 0); }, 8, 1, 0},
        {"translucent blit", [&] { Screen()->Blit(translucent.get(), 7, 9, whole, Color::White, 0); }, 2, 2, 0},
        // Transparent texels leave the screen as it is, however many layers;
        // the fill under them may differ by a step, as a fill does.
        {"transparent layers",
         [&] {
             Screen()->FillRect(Rect{0, 0, 40, 40}, Color(24, 44, 64), 0);
             for (int i = 0; i < 6; ++i)
                 Screen()->Blit(clear.get(), 3, 4, whole, Color::White, 0);
         },
         1, 1, 0},
        {"tinted blit", [&] { Screen()->Blit(opaque.get(), 7, 9, whole, Color(255, 128, 0, 200), 0); }, 8, 1, 0},
        {"additive blit", [&] { Screen()->Blit(translucent.get(), 7, 9, whole, Color::White, 1); }, 2, 2, 0},
        {"mirrored blit", [&] { Screen()->BlitMirrored(opaque.get(), 7, 9, whole, Color::White, 0); }, 8, 1, 0},
        {"quick stretch",
         [&] { Screen()->BlitStretched(opaque.get(), Rect{5, 5, 64, 48}, whole, clip, Color::White, 0, true); }, 8, 1, 0},
        // Its slope never puts a pixel centre half-way between two rows, where
        // the two paths round apart.
        {"line", [&] { Screen()->DrawLine(10, 10, 91, 37, Color(255, 255, 0), 0); }, 1, 1, 0.0001},
        {"rotated blit",
         [&] { Screen()->BlitRotated(opaque.get(), 50, 40, whole, clip, Color::White, 0, 0.3, 16, 12); }, 24, 3, 0.01},
        {"transformed blit",
         [&] { Screen()->BlitTransformed(opaque.get(), 80, 60, turn, clip, Color::White, 0, whole, false); }, 24,
         3, 0.01},
    };
    for (const DesktopFormat& desktop : {DisplayTest::kDesktopRgb32, DisplayTest::kDesktop565}) {
        const uint32_t masks[3] = {desktop.redMask, desktop.greenMask, desktop.blueMask};
        for (const Case& each : cases) {
            const std::vector<uint32_t> soft = Frame(desktop, false, each.draw);
            const std::vector<uint32_t> hard = Frame(desktop, true, each.draw);
            int beyond = 0;
            int largest = 0;
            for (size_t i = 0; i < soft.size(); ++i) {
                bool over = false;
                for (const uint32_t mask : masks) {
                    const int shift = std::countr_zero(mask);
                    const int maximum = int(mask >> shift);
                    const int difference = std::abs(int((soft[i] & mask) >> shift) - int((hard[i] & mask) >> shift));
                    largest = std::max(largest, difference);
                    over = over || difference > (maximum == 255 ? each.tolerance : each.steps);
                }
                beyond += over ? 1 : 0;
            }
            EXPECT_LE(beyond, int(each.outliers * double(soft.size())))
                << each.name << " on " << desktop.bitsPerPixel << " bits: largest " << largest;
            EXPECT_NE(soft, Frame(desktop, false, [] {})) << each.name << " drew nothing";
        }
    }
}
} // namespace

#include "tests/display/DisplayFixture.h"

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

constexpr int kWidth = 23;

// Long runs are drawn in groups, single pixels one at a time: a whole row
// must come out as the same row drawn pixel by pixel.
class RasterRuns : public DisplayTest::DisplayFixture {
protected:
    std::unique_ptr<Lumo::DDImage> Background()
    {
        auto image = MakeImage(kWidth, 1, std::vector<uint32_t>(kWidth, 0xFF000000));
        EXPECT_TRUE(image->CreateSurface());
        for (int x = 0; x < kWidth; ++x)
            image->mSurface->SetPixelAt(x, 0, 0x9E3779B9u * uint32_t(x + 1) >> 3);
        return image;
    }
};

// An opaque run, a translucent run of changing alpha, a transparent gap
// and the rest opaque again, in changing colours.
std::vector<uint32_t> Row()
{
    std::vector<uint32_t> pixels(kWidth);
    for (int x = 0; x < kWidth; ++x) {
        const uint32_t alpha = x < 9 ? 255 : x < 17 ? uint32_t(20 + 29 * (x - 9)) : x < 19 ? 0 : 255;
        pixels[size_t(x)] = alpha << 24 | (0x2F5A71u * uint32_t(x + 3) & 0xFFFFFF);
    }
    return pixels;
}

TEST_F(RasterRuns, WholeRowsMatchTheirPixelsDrawnOneByOne)
{
    const DesktopFormat formats[] = {DisplayTest::kDesktop565, DisplayTest::kDesktop555, DisplayTest::kDesktop444,
                                     DisplayTest::kDesktopRgb32, DisplayTest::kDesktopBgr32};
    const struct {
        Color color;
        int drawMode;
    } draws[] = {
        {Color::White, 0}, {Color(200, 120, 60, 200), 0}, {Color(90, 90, 90, 255), 0}, {Color(160, 160, 160, 120), 0},
        {Color(255, 40, 160), 0}, {Color::White, 1}, {Color(200, 120, 60, 200), 1},
    };
    const std::vector<uint32_t> pixels = Row();
    for (const DesktopFormat& desktop : formats) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        for (const bool palettized : {false, true})
            for (const bool mirrored : {false, true})
                for (const auto& draw : draws) {
                    Lumo::MemoryImage source(&mApp);
                    source.SetBits(pixels.data(), kWidth, 1, true);
                    if (palettized) {
                        ASSERT_TRUE(source.Palettize());
                    }
                    auto whole = Background();
                    auto single = Background();
                    const Rect row{0, 0, kWidth, 1};
                    if (mirrored)
                        whole->BlitMirrored(&source, 0, 0, row, draw.color, draw.drawMode);
                    else
                        whole->Blit(&source, 0, 0, row, draw.color, draw.drawMode);
                    for (int x = 0; x < kWidth; ++x) {
                        const Rect one{x, 0, 1, 1};
                        if (mirrored)
                            single->BlitMirrored(&source, kWidth - 1 - x, 0, one, draw.color, draw.drawMode);
                        else
                            single->Blit(&source, x, 0, one, draw.color, draw.drawMode);
                    }
                    for (int x = 0; x < kWidth; ++x)
                        EXPECT_EQ(Pixel(whole->mSurface, x, 0), Pixel(single->mSurface, x, 0))
                            << "green mask " << desktop.greenMask << " palettized " << palettized << " mirrored "
                            << mirrored << " mode " << draw.drawMode << " column " << x;
                }
    }
}

} // namespace

#include "tests/display/DisplayFixture.h"
#include "tests/display/RecordingDevice.h"

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class RasterBlit : public DisplayTest::DisplayFixture {};

TEST_F(RasterBlit, KeyedCopyWritesOnlyVisiblePixelsWithTheirAlpha)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto dest = Destination(3, 1, 0x00010203);
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0xFF112233, 0x00FFFFFF, 0xFF445566};
    source.SetBits(pixels, 3, 1, true);
    dest->Blit(&source, 0, 0, Rect{0, 0, 3, 1}, Color::White, 0);
    EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0xFF112233u);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0x00010203u);
    EXPECT_EQ(Pixel(dest->mSurface, 2, 0), 0xFF445566u);
}

TEST_F(RasterBlit, TranslucentPixelsBlendPerFormat)
{
    const struct {
        DesktopFormat desktop;
        uint32_t background;
        uint32_t expected;
    } cases[] = {
        {DisplayTest::kDesktop565, 0xFFFF, 0xFBEF},
        {DisplayTest::kDesktop555, 0x7FFF, 0x7DEF},
        {DisplayTest::kDesktop444, 0x0FFF, 0x0F77},
        {DisplayTest::kDesktopRgb32, 0x00FFFFFF, 0x80FF7F7F},
        {DisplayTest::kDesktopBgr32, 0x00FFFFFF, 0x807F7FFF},
    };
    for (const auto& each : cases) {
        ASSERT_EQ(Open(each.desktop), DDInterface::RESULT_OK);
        auto dest = Destination(4, 1, each.background);
        Lumo::MemoryImage source(&mApp);
        const uint32_t pixels[] = {0x80FF0000, 0x80FF0000, 0x00000000};
        source.SetBits(pixels, 3, 1, true);
        dest->Blit(&source, 1, 0, Rect{0, 0, 3, 1}, Color::White, 0);
        EXPECT_EQ(Pixel(dest->mSurface, 0, 0), each.background);
        EXPECT_EQ(Pixel(dest->mSurface, 1, 0), each.expected) << each.desktop.greenMask;
        EXPECT_EQ(Pixel(dest->mSurface, 2, 0), each.expected);
        EXPECT_EQ(Pixel(dest->mSurface, 3, 0), each.background);
    }
}

TEST_F(RasterBlit, TintScalesTheSourceAndLeavesTheTopByteClear)
{
    const uint32_t pixels[] = {0xFFFFFFFF, 0xFFFFFFFF};
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    {
        auto dest = Destination(2, 1, 0);
        Lumo::MemoryImage source(&mApp);
        source.SetBits(pixels, 2, 1, true);
        dest->Blit(&source, 0, 0, Rect{0, 0, 1, 1}, Color(128, 128, 128), 0);
        dest->Blit(&source, 1, 0, Rect{0, 0, 1, 1}, Color(255, 0, 128), 0);
        EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0x007F7F7Fu);
        EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0x00FE007Fu);
    }

    ASSERT_EQ(Open(DisplayTest::kDesktop565), DDInterface::RESULT_OK);
    auto narrow = Destination(1, 1, 0);
    Lumo::MemoryImage white(&mApp);
    white.SetBits(pixels, 1, 1, true);
    narrow->Blit(&white, 0, 0, Rect{0, 0, 1, 1}, Color(255, 255, 255, 128), 0);
    // Half of white over black through the spread form.
    EXPECT_EQ(Pixel(narrow->mSurface, 0, 0), 0x7BEFu);
}

TEST_F(RasterBlit, MirroredBlitReversesEachRow)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto dest = Destination(5, 1, 0);
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0xFF000001, 0xFF000002, 0xFF000003, 0x00000000};
    source.SetBits(pixels, 4, 1, true);
    dest->BlitMirrored(&source, 1, 0, Rect{0, 0, 4, 1}, Color::White, 0);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0u);
    EXPECT_EQ(Pixel(dest->mSurface, 2, 0), 0xFF000003u);
    EXPECT_EQ(Pixel(dest->mSurface, 3, 0), 0xFF000002u);
    EXPECT_EQ(Pixel(dest->mSurface, 4, 0), 0xFF000001u);
}

TEST_F(RasterBlit, AdditiveBlitSaturatesAndSkipsBlack)
{
    for (const DesktopFormat& desktop : {DisplayTest::kDesktop565, DisplayTest::kDesktopRgb32}) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        const uint32_t white = desktop.redMask | desktop.greenMask | desktop.blueMask;
        auto dest = Destination(3, 1, desktop.redMask | desktop.blueMask);
        Lumo::MemoryImage source(&mApp);
        const uint32_t pixels[] = {0xFF000000, 0xFFFFFFFF, 0xFF00FF00};
        source.SetBits(pixels, 3, 1, true);
        dest->Blit(&source, 0, 0, Rect{0, 0, 3, 1}, Color::White, 1);
        EXPECT_EQ(Pixel(dest->mSurface, 0, 0), desktop.redMask | desktop.blueMask);
        EXPECT_EQ(Pixel(dest->mSurface, 1, 0), white);
        EXPECT_EQ(Pixel(dest->mSurface, 2, 0), white);
        EXPECT_EQ(dest->mLockDepth, 0);
    }
}

TEST_F(RasterBlit, ShortcutBlendsStraightFromTheBits)
{
    for (const DesktopFormat& desktop : {DisplayTest::kDesktop565, DisplayTest::kDesktopRgb32,
                                         DisplayTest::kDesktopBgr32}) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        auto dest = Destination(2, 1, 0);
        Lumo::MemoryImage source(&mApp);
        const uint32_t pixels[] = {0xFFFFFFFF, 0x00FFFFFF};
        source.SetBits(pixels, 2, 1, true);
        source.SetBlitShortcut(true);
        dest->Blit(&source, 0, 0, Rect{0, 0, 2, 1}, Color::White, 0);
        EXPECT_EQ(source.nativeAlphaData, nullptr);
        EXPECT_NE(Pixel(dest->mSurface, 0, 0), 0u);
        EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0u);
    }
}

TEST_F(RasterBlit, SurfacedOpaqueSourcesCopyThroughTheDisplay)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto dest = Destination(2, 1, 0);
    auto source = MakeImage(2, 1, {0xFF102030, 0x00000000});
    ASSERT_TRUE(source->CreateSurface());
    // A failing display copy leaves the destination as it was: the copy went there.
    DisplayDesktop::FailCall("Blt", 1, DDERR_SURFACELOST);
    dest->Blit(source.get(), 0, 0, Rect{0, 0, 2, 1}, Color::White, 0);
    EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0u);
    ASSERT_TRUE(dest->LockSurface());
    dest->Blit(source.get(), 0, 0, Rect{0, 0, 2, 1}, Color::White, 0);
    EXPECT_EQ(dest->mLockDepth, 1);
    EXPECT_EQ(dest->mSurface->LockCount(), 1);
    dest->UnlockSurface();
    EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0x102030u);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0u);

    // Tinted draws never take the display copy.
    DisplayDesktop::FailCall("Blt", 1, DDERR_SURFACELOST);
    dest->Blit(source.get(), 1, 0, Rect{0, 0, 1, 1}, Color(255, 255, 255, 254), 0);
    EXPECT_NE(Pixel(dest->mSurface, 1, 0), 0u);
}

TEST_F(RasterBlit, OtherModesChangeNothingAndKeepMemory)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto dest = MakeImage(2, 1, {0xFF000000, 0xFF000000});
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0xFFFFFFFF};
    source.SetBits(pixels, 1, 1, true);
    dest->Blit(&source, 0, 0, Rect{0, 0, 1, 1}, Color::White, 2);
    dest->BlitMirrored(&source, 0, 0, Rect{0, 0, 1, 1}, Color::White, 2);
    ASSERT_NE(dest->bits, nullptr);
    EXPECT_EQ(dest->GetPixelBits()[0], 0xFF000000u);
}

TEST_F(RasterBlit, FractionalBlitsOnThe3DSurfaceChooseByClip)
{
    DisplayTest::RecordingDeviceScope devices;
    ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    ASSERT_TRUE(Screen()->IsScreen3D());
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[4] = {};
    source.SetBits(pixels, 2, 2, true);
    const Rect clip{0, 0, 100, 100};
    devices.Device()->ClearLog();
    Screen()->BlitFloat(&source, 10.5f, 10.5f, Rect{0, 0, 2, 2}, clip, Color::White, 0);
    Screen()->BlitFloat(&source, -1.0f, 10.0f, Rect{0, 0, 2, 2}, clip, Color::White, 0);
    Screen()->BlitFloat(&source, 200.0f, 10.0f, Rect{0, 0, 2, 2}, clip, Color::White, 0);
    Screen()->Blit(&source, 1, 1, Rect{0, 0, 2, 2}, Color::White, 0);
    // Inside the clip a piece strip at the fractional spot, filtered; across
    // its edge a clipped fan; past it nothing; a whole blit a plain strip.
    const auto& draws = devices.Device()->mDraws;
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].mType, Platform::D3DPT_TRIANGLESTRIP);
    EXPECT_FLOAT_EQ(draws[0].mVertices[0].sx, 10.0f);
    EXPECT_EQ(draws[1].mType, Platform::D3DPT_TRIANGLEFAN);
    EXPECT_EQ(draws[2].mType, Platform::D3DPT_TRIANGLESTRIP);
    EXPECT_FLOAT_EQ(draws[2].mVertices[0].sx, 0.5f);
    EXPECT_FALSE(Screen()->LockSurface());
}

} // namespace

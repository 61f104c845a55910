#include "tests/display/DisplayFixture.h"

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class SurfaceImage : public DisplayTest::DisplayFixture {};

TEST_F(SurfaceImage, OpaqueImageConvertsExactlyWithoutKey)
{
    ASSERT_EQ(Open(DisplayTest::kDesktop565), DDInterface::RESULT_OK);
    auto image = MakeImage(2, 1, {0xFFFFFFFF, 0xFF804020});
    ASSERT_TRUE(image->CreateSurface());
    EXPECT_EQ(Pixel(image->mSurface, 0, 0), 0xFFFFu);
    EXPECT_EQ(Pixel(image->mSurface, 1, 0), (0x80u >> 3) << 11 | (0x40u >> 2) << 5 | (0x20u >> 3));
    DDCOLORKEY key;
    EXPECT_EQ(image->mSurface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
}

TEST_F(SurfaceImage, TransparentPixelsGetAKeyNoVisiblePixelUses)
{
    struct Case {
        DesktopFormat desktop;
        std::vector<uint32_t> pixels;
    };
    // The second case's transparent pixel has an opaque pixel's colour.
    const Case cases[] = {
        {DisplayTest::kDesktop565, {0xFF00FF00, 0x00123456, 0xFFFFFFFF}},
        {DisplayTest::kDesktop565, {0xFF000000, 0x00000000, 0xFFFFFFFF}},
        {DisplayTest::kDesktop555, {0xFF000000, 0x00000000, 0xFF0000FF}},
        {DisplayTest::kDesktopRgb32, {0xFF000000, 0x00000000, 0xFF123456}},
        {DisplayTest::kDesktopBgr32, {0xFF563412, 0x00123456, 0xFF000000}},
    };
    for (const Case& each : cases) {
        ASSERT_EQ(Open(each.desktop), DDInterface::RESULT_OK);
        auto image = MakeImage(3, 1, each.pixels);
        ASSERT_TRUE(image->CreateSurface());
        DDCOLORKEY key;
        ASSERT_EQ(image->mSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
        EXPECT_EQ(Pixel(image->mSurface, 1, 0), key.dwColorSpaceLowValue);
        EXPECT_NE(Pixel(image->mSurface, 0, 0), key.dwColorSpaceLowValue);
        EXPECT_NE(Pixel(image->mSurface, 2, 0), key.dwColorSpaceLowValue);
    }
}

TEST_F(SurfaceImage, TranslucentImageKeepsDrawingInMemory)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = MakeImage(2, 1, {0xFF000000, 0x80000000});
    EXPECT_FALSE(image->CreateSurface());
    image->FillRect(Rect{0, 0, 2, 1}, Color(255, 0, 0), 0);
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->bits[0], 0xFFFF0000u);
}

TEST_F(SurfaceImage, ReadBackWidensChannelsWithZeroLowBits)
{
    ASSERT_EQ(Open(DisplayTest::kDesktop565), DDInterface::RESULT_OK);
    {
        auto image = MakeImage(2, 1, {0xFFFFFFFF, 0xFF102030});
        ASSERT_TRUE(image->CreateSurface());
        image->DiscardMemoryCopies();
        const uint32_t* pixels = image->GetPixelBits();
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(pixels[0], 0xFFF8FCF8u);
        EXPECT_EQ(pixels[1], 0xFF102030u);
        EXPECT_EQ(pixels[2], Lumo::MemoryImage::kGuardWord);
    }

    ASSERT_EQ(Open(DisplayTest::kDesktopBgr32), DDInterface::RESULT_OK);
    auto exact = MakeImage(2, 1, {0xFF123456, 0xFFABCDEF});
    ASSERT_TRUE(exact->CreateSurface());
    exact->DiscardMemoryCopies();
    EXPECT_EQ(exact->GetPixelBits()[0], 0xFF123456u);
    EXPECT_EQ(exact->GetPixelBits()[1], 0xFFABCDEFu);
}

TEST_F(SurfaceImage, LocksNestAndAFailedLockIsNotCounted)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = MakeImage(1, 1, {0xFF000000});
    ASSERT_TRUE(image->LockSurface());
    ASSERT_TRUE(image->LockSurface());
    EXPECT_TRUE(image->UnlockSurface());
    EXPECT_EQ(image->mSurface->LockCount(), 1);
    EXPECT_TRUE(image->UnlockSurface());
    EXPECT_EQ(image->mSurface->LockCount(), 0);
    EXPECT_FALSE(image->UnlockSurface());

    DisplayDesktop::FailCall("Lock", 1, DDERR_SURFACEBUSY);
    EXPECT_FALSE(image->LockSurface());
    EXPECT_EQ(image->mLockDepth, 0);
    // Nothing is drawn and the memory copy stays.
    image->GetPixelBits();
    DisplayDesktop::FailCall("Lock", 1, DDERR_SURFACEBUSY);
    image->FillRect(Rect{0, 0, 1, 1}, Color(255, 255, 255), 0);
    EXPECT_NE(image->bits, nullptr);
    EXPECT_EQ(Pixel(image->mSurface, 0, 0), 0u);
}

TEST_F(SurfaceImage, StorageChangesKeepThePixels)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = MakeImage(2, 1, {0xFF102030, 0xFF405060});
    image->mWantSurface = true;
    image->PurgeBits();
    ASSERT_NE(image->mSurface, nullptr);
    EXPECT_EQ(image->bits, nullptr);

    IDirectDrawSurface* first = image->mSurface;
    image->SetVideoMemory(false);
    EXPECT_EQ(image->mSurface, first);
    image->SetVideoMemory(true);
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->GetSurface(), nullptr);
    EXPECT_EQ(image->mSurface->Caps() & DDSCAPS_VIDEOMEMORY, DDSCAPS_VIDEOMEMORY);
    image->DiscardMemoryCopies();
    EXPECT_EQ(image->GetPixelBits()[1], 0xFF405060u);

    EXPECT_TRUE(image->Palettize());
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->GetSurface(), nullptr);
    EXPECT_EQ(Pixel(image->mSurface, 0, 0), 0x102030u);

    image->MarkBitsChanged();
    EXPECT_EQ(image->mSurface, nullptr);
}

TEST_F(SurfaceImage, FillGoesToTheSurfaceOnlyWhenItDrew)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto opaque = MakeImage(2, 2, std::vector<uint32_t>(4, 0xFF000000));
    opaque->FillRect(Rect{0, 0, 1, 1}, Color(255, 255, 255), 0);
    ASSERT_NE(opaque->mSurface, nullptr);
    EXPECT_EQ(opaque->bits, nullptr);
    EXPECT_EQ(Pixel(opaque->mSurface, 0, 0), 0x00FEFEFEu);

    // A mode that draws nothing keeps the memory copy.
    auto other = MakeImage(2, 2, std::vector<uint32_t>(4, 0xFF000000));
    other->FillRect(Rect{0, 0, 1, 1}, Color(255, 255, 255), 2);
    ASSERT_NE(other->bits, nullptr);
    EXPECT_EQ(other->GetPixelBits()[0], 0xFF000000u);

    auto keyed = MakeImage(2, 1, {0xFF000000, 0x00000000});
    keyed->FillRect(Rect{0, 0, 1, 1}, Color(255, 255, 255), 0);
    EXPECT_EQ(keyed->mSurface, nullptr);
    EXPECT_EQ(keyed->bits[0], 0xFFFFFFFFu);
}

TEST_F(SurfaceImage, ScreenImageIsNeverReadBackInVideoOnlyMode)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    mDisplay->SetDrawInVideoMemory(true);
    Screen()->FillRect(Rect{0, 0, 4, 4}, Color(255, 255, 255), 0);
    EXPECT_EQ(Pixel(mDisplay->mSecondSurface, 0, 0), 0u);
    EXPECT_EQ(Screen()->GetPixelBits(), nullptr);
}

// A palette of the old size must not expand into the new one.
TEST_F(SurfaceImage, ResizingAPalettizedImageDropsItsPalette)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = MakeImage(2, 1, {0xFF102030, 0xFF405060});
    ASSERT_TRUE(image->Palettize());
    image->SetSize(16, 16);
    const uint32_t* pixels = image->GetPixelBits();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[255], 0u);
}

// A coverage span reaching outside the image is cut to it, on a surface as in memory.
TEST_F(SurfaceImage, CoverageSpansAreClippedToTheImage)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    const uint8_t coverage[16] = {255, 255, 255, 255, 255, 255, 255, 255,
                                  255, 255, 255, 255, 255, 255, 255, 255};
    struct Case {
        const char* name;
        Lumo::Span span;
    };
    const Case cases[] = {
        {"left", {1, -4, 6}}, {"right", {1, 2, 8}}, {"above", {-1, 0, 4}}, {"below", {4, 0, 4}}};
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        auto image = Destination(4, 4, 0);
        Lumo::Span span = each.span;
        image->FillSpansWithCoverage(&span, 1, Color::White, 0, coverage, span.mX, span.mY, 16, 0);
        int lit = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                lit += (Pixel(image->mSurface, x, y) & 0xFFFFFF) != 0;
        EXPECT_EQ(lit, each.span.mY == 1 ? 2 : 0);
    }
}

} // namespace

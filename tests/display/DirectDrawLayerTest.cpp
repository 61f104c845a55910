#include "tests/display/DisplayFixture.h"

#include "platform/display/DirectDrawClipper.h"
#include "platform/display/DirectDrawSurface.h"

using namespace Platform;

namespace {

class DirectDrawLayer : public DisplayTest::DisplayFixture {
protected:
    DirectDrawLayer()
    {
        DisplayDesktop::SetFormat(DisplayTest::kDesktop565);
        DirectDrawCreate(nullptr, &mDD, nullptr);
    }
    ~DirectDrawLayer() override { mDD->Release(); }

    DirectDrawSurface* Surface(int width, int height)
    {
        DDSURFACEDESC desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = uint32_t(width);
        desc.dwHeight = uint32_t(height);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        DirectDrawSurface* surface = nullptr;
        EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    // A primary shown in the test's window.
    DirectDrawSurface* WindowedPrimary()
    {
        DDSURFACEDESC desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        DirectDrawSurface* primary = nullptr;
        EXPECT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
        DirectDrawClipper* clipper = nullptr;
        mDD->CreateClipper(0, &clipper, nullptr);
        clipper->SetHWnd(0, mWindow);
        primary->SetClipper(clipper);
        clipper->Release();
        return primary;
    }

    DirectDraw* mDD = nullptr;
};

TEST_F(DirectDrawLayer, SurfacesTakeTheDisplayFormatAndAPaddedPitch)
{
    DesktopFormat padded = DisplayTest::kDesktop555;
    padded.pitchPadding = 6;
    DisplayDesktop::SetFormat(padded);
    DirectDrawSurface* surface = Surface(3, 2);
    DDSURFACEDESC desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(desc.lPitch, 12);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x3E0u);
    EXPECT_EQ(surface->LockCount(), 1);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    surface->Release();
}

TEST_F(DirectDrawLayer, BltStretchesKeysAndRefusesRectanglesOutside)
{
    DirectDrawSurface* source = Surface(2, 1);
    DirectDrawSurface* dest = Surface(4, 2);
    source->SetPixelAt(0, 0, 0x1111);
    source->SetPixelAt(1, 0, 0x2222);
    RECT whole{0, 0, 4, 2};
    ASSERT_EQ(dest->Blt(&whole, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(dest->PixelAt(1, 1), 0x1111u);
    EXPECT_EQ(dest->PixelAt(2, 0), 0x2222u);

    EXPECT_EQ(dest->Blt(&whole, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DDERR_NOCOLORKEY);
    DDCOLORKEY key{0x2222, 0x2222};
    source->SetColorKey(DDCKEY_SRCBLT, &key);
    source->SetPixelAt(0, 0, 0x3333);
    ASSERT_EQ(dest->Blt(&whole, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    EXPECT_EQ(dest->PixelAt(0, 0), 0x3333u);
    EXPECT_EQ(dest->PixelAt(3, 1), 0x2222u);

    RECT outside{3, 0, 5, 1};
    EXPECT_EQ(dest->Blt(&outside, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT badSource{1, 0, 3, 1};
    EXPECT_EQ(dest->Blt(nullptr, source, &badSource, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    source->Release();
    dest->Release();
}

TEST_F(DirectDrawLayer, WindowedPrimaryIsClippedToTheClientArea)
{
    DirectDrawSurface* primary = WindowedPrimary();
    EXPECT_EQ(primary->Width(), 1920);

    DirectDrawSurface* frame = Surface(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            frame->SetPixelAt(x, y, 0xFFFF);
    RECT dest{kWindowX, kWindowY, kWindowX + 300, kWindowY + 200};
    ASSERT_EQ(primary->Blt(&dest, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(primary->PixelAt(kWindowX + 199, kWindowY + 149), 0xFFFFu);
    EXPECT_EQ(primary->PixelAt(kWindowX + 200, kWindowY), 0u);
    EXPECT_EQ(primary->PixelAt(kWindowX, kWindowY + 150), 0u);
    int32_t width = 0, height = 0;
    EXPECT_EQ(mSession.Desktop().Frame(mWindow, &width, &height)[0], 0xFFFFFFFFu);
    frame->Release();
    primary->Release();
}

// Past an edge of the 1920 x 1080 screen the window shows the part of the
// frame that lies on the screen, at that part's own place in the client area.
TEST_F(DirectDrawLayer, AWindowPastTheScreensEdgeShowsItsFramePixelForPixel)
{
    DisplayDesktop::SetFormat(DisplayTest::kDesktopRgb32);
    DirectDrawSurface* primary = WindowedPrimary();
    DirectDrawSurface* frame = Surface(200, 150);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            frame->SetPixelAt(x, y, uint32_t(x << 5 | y % 32));
    struct Case {
        const char* name;
        int x, y;
        POINT place;
        int width, height;
    };
    const Case cases[] = {
        {"inside", 300, 200, {0, 0}, 200, 150},
        {"past the right edge", 1800, 200, {0, 0}, 120, 150},
        {"past the left edge", -60, 200, {60, 0}, 140, 150},
        {"past the top-left corner", -10, -40, {10, 40}, 190, 110},
        {"past the bottom edge", 300, 1000, {0, 0}, 200, 80},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        MoveWindow(mWindow, each.x, each.y, 200, 150, false);
        RECT dest{each.x, each.y, each.x + 200, each.y + 150};
        ASSERT_EQ(primary->Blt(&dest, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        int32_t width = 0, height = 0;
        const std::vector<uint32_t> shown = mSession.Desktop().Frame(mWindow, &width, &height);
        const POINT place = mSession.Desktop().FramePlace(mWindow);
        EXPECT_EQ(place.x, each.place.x);
        EXPECT_EQ(place.y, each.place.y);
        ASSERT_EQ(width, each.width);
        ASSERT_EQ(height, each.height);
        EXPECT_EQ(shown[0] & 0xFFFFFF, uint32_t(place.x << 5 | place.y % 32));
        EXPECT_EQ(shown.back() & 0xFFFFFF, uint32_t((place.x + width - 1) << 5 | (place.y + height - 1) % 32));
    }
    frame->Release();
    primary->Release();
}

TEST_F(DirectDrawLayer, OnlyRowsThatChangedReachTheWindowAgain)
{
    DirectDrawSurface* primary = WindowedPrimary();
    DirectDrawSurface* frame = Surface(200, 150);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            frame->SetPixelAt(x, y, uint32_t(x * 31 + y));
    RECT dest{kWindowX, kWindowY, kWindowX + 200, kWindowY + 150};
    auto shownAfterBlit = [&] {
        EXPECT_EQ(primary->Blt(&dest, frame, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        return mSession.Desktop().RenewedRows(mWindow);
    };
    EXPECT_EQ(shownAfterBlit(), 150);
    EXPECT_EQ(shownAfterBlit(), 0);
    frame->SetPixelAt(7, 80, 0xFFFF);
    frame->SetPixelAt(9, 81, 0);
    EXPECT_EQ(shownAfterBlit(), 2);
    int32_t width = 0, height = 0;
    const std::vector<uint32_t> shown = mSession.Desktop().Frame(mWindow, &width, &height);
    ASSERT_EQ(shown.size(), size_t(200) * 150);
    EXPECT_EQ(shown[size_t(80) * 200 + 7], 0xFFFFFFFFu);
    EXPECT_EQ(shown[size_t(81) * 200 + 9], 0xFF000000u);
    // A row shown only the first time: pixel 31 is the bluest blue.
    EXPECT_EQ(shown[1], 0xFF0000FFu);

    // What a lock wrote is not known, so all of it goes.
    DDSURFACEDESC desc;
    ASSERT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(primary->Unlock(nullptr), DD_OK);
    EXPECT_EQ(mSession.Desktop().RenewedRows(mWindow), 150);
    frame->Release();
    primary->Release();
}

TEST_F(DirectDrawLayer, FaultsHitTheCountedCall)
{
    DisplayDesktop::FailCall("Lock", 2, DDERR_SURFACELOST);
    DirectDrawSurface* surface = Surface(1, 1);
    DDSURFACEDESC desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(surface->LockCount(), 2);
    surface->Release();
}

} // namespace

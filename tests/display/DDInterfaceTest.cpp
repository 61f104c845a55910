#include "tests/display/DisplayFixture.h"

#include "platform/display/DirectDrawObject.h"

using namespace Platform;
using Lumo::DDInterface;
using Lumo::Fraction;

namespace {

class DisplayInit : public DisplayTest::DisplayFixture {};

struct FormatCase {
    DesktopFormat desktop;
    uint32_t shifts[3];
    uint32_t widths[3];
    uint32_t redOf255;
    uint32_t redOf128;
    uint32_t greenTableSize;
    uint8_t channelOrder;
};

TEST_F(DisplayInit, PixelFormatTablesFollowThePrimary)
{
    const FormatCase cases[] = {
        {DisplayTest::kDesktop565, {11, 5, 0}, {5, 6, 5}, 0xF800, 0x7800, 127, 1},
        {DisplayTest::kDesktop555, {10, 5, 0}, {5, 5, 5}, 0x7C00, 0x3C00, 63, 1},
        {DisplayTest::kDesktopRgb32, {16, 8, 0}, {8, 8, 8}, 0xFF0000, 0x800000, 511, 1},
        {DisplayTest::kDesktopBgr32, {0, 8, 16}, {8, 8, 8}, 0xFF, 0x80, 511, 0},
    };
    for (const FormatCase& each : cases) {
        ASSERT_EQ(Open(each.desktop), DDInterface::RESULT_OK);
        const DDInterface& d = *mDisplay;
        EXPECT_EQ(d.mBitsPerPixel, each.desktop.bitsPerPixel);
        EXPECT_EQ(d.mRedShift, each.shifts[0]);
        EXPECT_EQ(d.mGreenShift, each.shifts[1]);
        EXPECT_EQ(d.mBlueShift, each.shifts[2]);
        EXPECT_EQ(d.mRedBits, each.widths[0]);
        EXPECT_EQ(d.mGreenBits, each.widths[1]);
        EXPECT_EQ(d.mBlueBits, each.widths[2]);
        EXPECT_EQ(d.mRedConversionTable[255], each.redOf255);
        EXPECT_EQ(d.mRedConversionTable[128], each.redOf128);
        EXPECT_EQ(d.mRedConversionTable[0], 0u);
        const uint32_t greenMax = (1u << d.mGreenBits) - 1;
        EXPECT_EQ(2 * greenMax + 1, each.greenTableSize);
        EXPECT_EQ(d.mGreenSaturationTable[each.greenTableSize - 1], greenMax);
        EXPECT_EQ(d.mGreenSaturationTable[greenMax - 1], greenMax - 1);
        EXPECT_EQ(DDInterface::gChannelOrderFlag.load(), each.channelOrder);
        EXPECT_EQ(mApp.mScreenRect, (Lumo::Rect{0, 0, 200, 150}));
        ASSERT_NE(Screen(), nullptr);
        EXPECT_EQ(Screen()->mSurface, mDisplay->mDrawSurface);
    }
}

TEST_F(DisplayInit, FailedStepsReturnTheirCodeAndNameTheStep)
{
    const struct {
        const char* method;
        int nth;
        bool windowed;
        int result;
        const char* text;
    } cases[] = {
        {"DirectDrawCreateEx", 1, true, 2, "DirectDrawCreateEx: DDERR_NODIRECTDRAWHW"},
        {"QueryInterface", 1, true, 2, "QueryrInterface IID_IDirectDraw: DDERR_NODIRECTDRAWHW"},
        {"CreateSurface", 1, true, 3, "CreateSurface Windowed Primary: DDERR_NODIRECTDRAWHW"},
        {"CreateSurface", 2, true, 3, "CreateSurface Windowed DrawSurface: DDERR_NODIRECTDRAWHW"},
        {"CreateClipper", 1, true, 1, "CreateClipper Windowed: DDERR_NODIRECTDRAWHW"},
        {"SetCooperativeLevel", 1, false, 4, "SetCooperativeLevel FullScreen: DDERR_NODIRECTDRAWHW"},
        {"SetDisplayMode", 1, false, 5, "SetDisplayMode FullScreen: DDERR_NODIRECTDRAWHW"},
        {"CreateSurface", 1, false, 3, "CreateSurface FullScreen Primary: DDERR_NODIRECTDRAWHW"},
        {"GetAttachedSurface", 1, false, 3, "GetAttachedSurface: DDERR_NODIRECTDRAWHW"},
        {"CreateSurface", 2, false, 3, "CreateSurface FullScreen DrawSurface: DDERR_NODIRECTDRAWHW"},
        {"CreateClipper", 1, false, 1, "CreateClipper FullScreen: DDERR_NODIRECTDRAWHW"},
    };
    for (const auto& each : cases) {
        mDisplay.reset();
        DisplayDesktop::FailCall(each.method, each.nth, DDERR_NODIRECTDRAWHW);
        EXPECT_EQ(Open(DisplayTest::kDesktopRgb32, each.windowed), each.result) << each.text;
        EXPECT_EQ(mDisplay->mErrorText, each.text);
        EXPECT_FALSE(mDisplay->mInitialized);
        DisplayDesktop::Reset();
    }
}

TEST_F(DisplayInit, DepthOtherThan16Or32IsRefusedWithoutAText)
{
    for (uint32_t bits : {8u, 24u}) {
        EXPECT_EQ(Open(DisplayTest::DesktopOf(bits, 0xFF0000, 0xFF00, 0xFF)), DDInterface::RESULT_INVALID_COLORDEPTH);
        EXPECT_EQ(mDisplay->mErrorText, "");
        EXPECT_EQ(mDisplay->mPrimarySurface, nullptr);
    }
}

TEST_F(DisplayInit, CursorAreaFailureIsRecordedButStartUpGoesOn)
{
    // Primary, draw surface, then the old cursor area.
    DisplayDesktop::FailCall("CreateSurface", 3, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    EXPECT_EQ(mDisplay->mErrorText, "CreateSurface OldCursorArea: E_OUTOFMEMORY");
    EXPECT_EQ(mDisplay->mOldCursorArea, nullptr);
    EXPECT_NE(mDisplay->mOldCursorAreaImage, nullptr);
}

TEST_F(DisplayInit, RefreshRateIsClampedAndReported)
{
    const struct {
        uint32_t reported;
        int rate;
        int milliseconds;
        bool unusable;
    } cases[] = {{0, 60, 16, true}, {50, 60, 16, true}, {120, 100, 10, true}, {75, 75, 13, false}, {60, 60, 16, false}};
    for (const auto& each : cases) {
        DesktopFormat desktop = DisplayTest::kDesktopRgb32;
        desktop.refreshRate = each.reported;
        mApp.mRefreshRateUnusable = false;
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        EXPECT_EQ(mDisplay->mRefreshRate, each.rate) << each.reported;
        EXPECT_EQ(mDisplay->mFrameMilliseconds.load(), each.milliseconds);
        EXPECT_EQ(mApp.mRefreshRateUnusable, each.unusable);
    }
}

TEST(DisplayAspect, IsWiderComparesAspects)
{
    auto fraction = [](int n, int d) {
        Fraction f;
        f.Set(n, d);
        return f;
    };
    EXPECT_FALSE(DDInterface::IsWider(fraction(4, 3), fraction(4, 3)));
    EXPECT_TRUE(DDInterface::IsWider(fraction(16, 9), fraction(4, 3)));
    EXPECT_FALSE(DDInterface::IsWider(fraction(4, 3), fraction(16, 9)));
    EXPECT_TRUE(DDInterface::IsWider(fraction(16, 10), fraction(4, 3)));
}

TEST_F(DisplayInit, FullScreenWith3DOnAWideDesktopCentresThePicture)
{
    mSession.Desktop().SetScreen(RECT{0, 0, 1680, 1050}, RECT{0, 0, 1680, 1050});
    mApp.mWidth = 800;
    mApp.mHeight = 600;
    mApp.mForce3D = true;
    for (bool fill : {false, true}) {
        mApp.mFillAspect = fill;
        DisplayDesktop::SetFormat(DisplayTest::kDesktopRgb32);
        mDisplay = std::make_unique<DDInterface>(&mApp);
        mApp.mDisplay = mDisplay.get();
        ASSERT_EQ(mDisplay->Init(mWindow, false), DDInterface::RESULT_OK);
        EXPECT_TRUE(mDisplay->mIs3D);
        EXPECT_TRUE(mDisplay->mAspectCorrected);
        EXPECT_EQ(mDisplay->mDisplayWidth, 1680);
        EXPECT_EQ(mDisplay->mPrimarySurface->Width(), 1680);
        // The 16 bits asked for full screen leave the desktop at its own depth.
        EXPECT_EQ(mDisplay->mPrimarySurface->Format().dwRGBBitCount, 32u);
        if (fill) {
            EXPECT_EQ(mDisplay->mWidth, 960);
            EXPECT_EQ(mDisplay->mPresentRect, (Lumo::Rect{0, 0, 1680, 1050}));
        } else {
            EXPECT_EQ(mDisplay->mPresentRect, (Lumo::Rect{140, 0, 1400, 1050}));
        }
    }
    // The second start finds the first one's record.
    EXPECT_EQ(mApp.mNewTestResults, 1);
}

TEST_F(DisplayInit, FailedDeviceStartNamesTheDevicesError)
{
    mApp.mForce3D = true;
    // The self-test's device starts; the display's own does not.
    DisplayDesktop::FailCall("CreateDevice", 2, DDERR_NO3D);
    EXPECT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_3D_FAIL);
    EXPECT_EQ(mDisplay->mErrorText, "3D init error: CreateDevice IID_IDirect3DHALDevice: DDERR_NO3D");
    EXPECT_EQ(mApp.mRuntimeErrors, std::vector<std::string>{"CreateDevice IID_IDirect3DHALDevice: DDERR_NO3D"});
}

TEST_F(DisplayInit, InitTwiceReleasesTheFirstSetAndCleanupReleasesAll)
{
    const int32_t before = DirectDrawObject::LiveObjects();
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    const int32_t live = DirectDrawObject::LiveObjects();
    EXPECT_GT(live, before);
    ASSERT_EQ(mDisplay->Init(mWindow, true), DDInterface::RESULT_OK);
    EXPECT_EQ(DirectDrawObject::LiveObjects(), live);
    EXPECT_EQ(mDisplay->mInitCalls, 2);
    mDisplay->Cleanup();
    EXPECT_EQ(DirectDrawObject::LiveObjects(), before);
    EXPECT_FALSE(mDisplay->mInitialized);
}

TEST_F(DisplayInit, WindowedVideoOnlyOptionUsesTheSecondSurface)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    ASSERT_NE(mDisplay->mSecondSurface, nullptr);
    mDisplay->SetDrawInVideoMemory(true);
    EXPECT_EQ(Screen()->mSurface, mDisplay->mSecondSurface);
    EXPECT_TRUE(Screen()->mNoSoftwareDraw);
    EXPECT_EQ(Screen()->GetPixelBits(), nullptr);
    ASSERT_EQ(mDisplay->Init(mWindow, true), DDInterface::RESULT_OK);
    EXPECT_TRUE(mDisplay->mDrawInVideoMemory);
}

} // namespace

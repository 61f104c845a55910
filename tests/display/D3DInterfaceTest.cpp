#include "tests/display/DisplayFixture.h"
#include "tests/display/RecordingDevice.h"

#include "framework/display/D3DInterface.h"

using namespace Platform;
using Lumo::Color;
using Lumo::D3DInterface;
using Lumo::DDInterface;
using Lumo::Rect;
using DisplayTest::RecordingDevice;

namespace {

class Direct3DDevice : public DisplayTest::DisplayFixture {
protected:
    D3DInterface* Device3D() { return mDisplay->mD3DInterface.get(); }
};

TEST_F(Direct3DDevice, CapsAreClampedAndPaletteNeedsAlphaPalettes)
{
    struct Case {
        uint32_t maxWidth, minWidth, aspect, textureCaps;
        Lumo::TextureSizeLimits expected;
        int types;
    };
    DDPIXELFORMAT unknown;
    unknown.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    unknown.dwRGBBitCount = 16;
    unknown.dwRGBAlphaBitMask = 0x8000;
    unknown.dwRBitMask = 0x7C00;
    unknown.dwGBitMask = 0x03E0;
    unknown.dwBBitMask = 0x001F;
    std::vector<DDPIXELFORMAT> formats;
    for (int type : {Lumo::kPixelTypeA8R8G8B8, Lumo::kPixelTypeR5G6B5, Lumo::kPixelTypePalette8}) {
        formats.emplace_back();
        D3DInterface::FillTexturePixelFormat(&formats.back(), type);
    }
    formats.push_back(unknown);
    const Case cases[] = {
        {0, 8, 4, D3DPTEXTURECAPS_ALPHAPALETTE, {64, 64, 64, 64, 1}, 0x0D},
        {2048, 0, 0, D3DPTEXTURECAPS_ALPHAPALETTE, {1, 1, 1024, 1024, 65536}, 0x0D},
        {512, 16, 8, 0, {16, 1, 512, 1024, 8}, 0x05},
    };
    for (const Case& each : cases) {
        D3DDEVICEDESC7 caps;
        caps.dpcTriCaps.dwTextureCaps = each.textureCaps;
        caps.dwMaxTextureWidth = each.maxWidth;
        caps.dwMaxTextureHeight = 4096;
        caps.dwMinTextureWidth = each.minWidth;
        caps.dwMaxTextureAspectRatio = each.aspect;
        DisplayTest::RecordingDeviceScope devices(caps, formats);
        ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
        const Lumo::TextureSizeLimits& limits = D3DInterface::gTextureSizeLimits;
        EXPECT_EQ(limits.mMinWidth, each.expected.mMinWidth) << each.maxWidth;
        EXPECT_EQ(limits.mMinHeight, each.expected.mMinHeight) << each.maxWidth;
        EXPECT_EQ(limits.mMaxWidth, each.expected.mMaxWidth) << each.maxWidth;
        EXPECT_EQ(limits.mMaxHeight, each.expected.mMaxHeight) << each.maxWidth;
        EXPECT_EQ(limits.mMaxAspectRatio, each.expected.mMaxAspectRatio) << each.maxWidth;
        EXPECT_EQ(D3DInterface::gSupportedTextureTypes, each.types) << each.maxWidth;
        mDisplay.reset();
    }
}

TEST_F(Direct3DDevice, StartSetsTheViewportAndClearsToOpaqueBlack)
{
    DisplayTest::RecordingDeviceScope devices;
    ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    const auto& calls = devices.Device()->mCalls;
    EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
              (std::vector<std::string>{"SetViewport 200 150", "Clear 4278190080"}));
}

TEST_F(Direct3DDevice, FirstDrawOfAFrameBeginsTheSceneWithTheFixedStates)
{
    DisplayTest::RecordingDeviceScope devices;
    ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    RecordingDevice* device = devices.Device();
    const std::vector<std::string> sceneStart = {
        "SetRenderTarget",
        "BeginScene",
        "SetRenderState 27 1",
        "SetRenderState 19 5",
        "SetRenderState 20 6",
        "SetRenderState 137 0",
        "SetTextureStageState 0 17 1",
        "SetTextureStageState 0 16 1",
        "SetTextureStageState 0 18 1",
        "SetTextureStageState 0 4 4",
        "SetTextureStageState 0 13 3",
        "SetTextureStageState 0 14 3",
        "SetRenderState 26 0",
        "SetRenderState 29 0",
        "SetRenderState 14 0",
        "SetRenderState 7 0",
        "SetRenderState 22 1",
    };
    const std::vector<std::string> fill = {"SetRenderState 19 5", "SetRenderState 20 6", "SetTexture NULL",
                                           "DrawPrimitive 5 4"};
    std::vector<std::string> frame = sceneStart;
    frame.insert(frame.end(), fill.begin(), fill.end());
    frame.insert(frame.end(), fill.begin(), fill.end());
    for (int pass = 0; pass < 2; ++pass) {
        device->ClearLog();
        Screen()->FillRect(Rect{0, 0, 4, 4}, Color::White, 0);
        Screen()->FillRect(Rect{4, 0, 4, 4}, Color::White, 0);
        EXPECT_EQ(device->mCalls, frame) << pass;
        mDisplay->Redraw(nullptr);
        EXPECT_EQ(device->mCalls.back(), "EndScene");
    }

    // Minimised: no device call at all.
    mApp.mMinimized = true;
    device->ClearLog();
    Screen()->FillRect(Rect{0, 0, 4, 4}, Color::White, 0);
    EXPECT_TRUE(device->mCalls.empty());
    mApp.mMinimized = false;

    // A target that cannot be set refuses the draw and marks the run.
    DisplayDesktop::FailCall("SetRenderTarget", 1, DDERR_SURFACELOST);
    device->ClearLog();
    Screen()->FillRect(Rect{0, 0, 4, 4}, Color::White, 0);
    EXPECT_EQ(device->mCalls, std::vector<std::string>{"SetRenderTarget"});
    EXPECT_TRUE(D3DInterface::gD3DDrawFailed);
    EXPECT_TRUE(mApp.mRuntimeErrors.empty());
    Screen()->FillRect(Rect{0, 0, 4, 4}, Color::White, 0);
    EXPECT_FALSE(D3DInterface::gD3DDrawFailed);
}

TEST_F(Direct3DDevice, FilterChangesOnlyWhenItDiffersAndAdditiveUsesOne)
{
    DisplayTest::RecordingDeviceScope devices;
    ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    RecordingDevice* device = devices.Device();
    ASSERT_TRUE(Device3D()->PreDraw());
    device->ClearLog();
    Device3D()->SetLinearFilter(false);
    EXPECT_TRUE(device->mCalls.empty());
    Device3D()->SetLinearFilter(true);
    Device3D()->SetLinearFilter(true);
    Device3D()->SetBlendMode(1);
    EXPECT_EQ(device->mCalls,
              (std::vector<std::string>{"SetTextureStageState 0 17 2", "SetTextureStageState 0 16 2",
                                        "SetTextureStageState 0 18 2", "SetRenderState 19 5",
                                        "SetRenderState 20 2"}));
}

TEST_F(Direct3DDevice, FailedStepIsKeptAndStoredUntilTheFrameEnds)
{
    DisplayTest::RecordingDeviceScope devices;
    ASSERT_EQ(Open3D(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    DisplayDesktop::FailCall("DrawPrimitive", 1, DDERR_SURFACELOST);
    Screen()->FillRect(Rect{0, 0, 4, 4}, Color::White, 0);
    EXPECT_EQ(D3DInterface::gD3DErrorText, "DrawPrimitive (Rect): DDERR_SURFACELOST");
    EXPECT_EQ(mApp.mRuntimeErrors, std::vector<std::string>{"DrawPrimitive (Rect): DDERR_SURFACELOST"});
    Device3D()->Flush();
    EXPECT_TRUE(D3DInterface::gD3DErrorText.empty());
    Screen()->FillRect(Rect{0, 0, 4, 4}, Color::White, 0);
    EXPECT_EQ(mApp.mRuntimeErrors.size(), 1u);
}

TEST_F(Direct3DDevice, DrawColourPacksWithoutClamping)
{
    EXPECT_EQ(D3DInterface::PackColor(Color(255, 255, 255, 255)), 0xFFFFFFFFu);
    EXPECT_EQ(D3DInterface::PackColor(Color(0x12, 0x34, 0x56, 0x80)), 0x80123456u);
    // A channel above 255 carries into the next one up.
    EXPECT_EQ(D3DInterface::PackColor(Color(0, 256, 0, 0)), 0x00010000u);
}

} // namespace

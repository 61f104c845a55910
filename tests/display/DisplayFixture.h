#pragma once

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/DisplayAppHost.h"
#include "framework/graphics/images/ImageHost.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "platform/windows/Messages.h"
#include "platform/storage/Registry.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowConstants.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace DisplayTest {

// The application as the display sees it, and the host of its images.
class TestApp : public Lumo::DisplayAppHost, public Lumo::ImageHost {
public:
    Lumo::DDInterface* mDisplay = nullptr;
    Platform::HMODULE mModule = nullptr;
    int mNewTestResults = 0;

    Lumo::ImageHost* GetImageHost() override { return this; }
    Platform::HMODULE GetDirectDrawModule() override { return mModule; }
    void NewD3DTestResult() override { ++mNewTestResults; }

    bool IsMinimized() override { return mMinimized; }
    void StoreD3DRuntimeError(const std::string& text) override { mRuntimeErrors.push_back(text); }
    std::string GetRegistryKey() override { return "Tests\\Display"; }
    bool IsPlayingBackDemo() override { return mPlayingBack; }

    void AddImageToSet(Lumo::MemoryImage*) override {}
    void RemoveImageFromSet(Lumo::MemoryImage* image) override { DropImageTextures(image); }
    void DropImageTextures(Lumo::MemoryImage* image) override
    {
        if (mDisplay)
            mDisplay->RemoveImageTextures(image);
    }
    bool Is3DAccelerated() override { return mDisplay && mDisplay->mIs3D; }
    Lumo::NativeDisplay* GetNativeDisplay() override { return mDisplay; }
    bool CopyTexturesToBits(Lumo::MemoryImage* image) override
    {
        return mDisplay && mDisplay->mD3DInterface->CopyTexturesToBits(image, image->bits.get());
    }
    Lumo::TriangleRasterizer* GetTriangleRasterizer() override { return mRasterizer; }

    Lumo::TriangleRasterizer* mRasterizer = nullptr;
    bool mMinimized = false;
    bool mPlayingBack = false;
    std::vector<std::string> mRuntimeErrors;
};

inline Platform::LRESULT PlainProc(Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                   Platform::LPARAM lParam)
{
    return Platform::DefWindowProcA(window, message, wParam, lParam);
}

inline Platform::DesktopFormat DesktopOf(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue)
{
    Platform::DesktopFormat format;
    format.bitsPerPixel = bits;
    format.redMask = red;
    format.greenMask = green;
    format.blueMask = blue;
    return format;
}

inline const Platform::DesktopFormat kDesktop565 = DesktopOf(16, 0xF800, 0x07E0, 0x001F);
inline const Platform::DesktopFormat kDesktop555 = DesktopOf(16, 0x7C00, 0x03E0, 0x001F);
inline const Platform::DesktopFormat kDesktop444 = DesktopOf(16, 0x0F00, 0x00F0, 0x000F);
inline const Platform::DesktopFormat kDesktopRgb32 = DesktopOf(32, 0xFF0000, 0x00FF00, 0x0000FF);
inline const Platform::DesktopFormat kDesktopBgr32 = DesktopOf(32, 0x0000FF, 0x00FF00, 0xFF0000);

// A headless desktop with one borderless window at (100, 50) and a display
// made for it; each test opens the display in the format it needs.
class DisplayFixture : public ::testing::Test {
protected:
    static constexpr int kWindowX = 100;
    static constexpr int kWindowY = 50;

    DisplayFixture()
    {
        Platform::DisplayDesktop::Reset();
        Platform::RegisterDirectDrawModule();
        mApp.mModule = Platform::LoadLibraryA("ddraw.dll");
        mApp.mWidth = 200;
        mApp.mHeight = 150;
        Platform::WNDCLASSA windowClass;
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "DisplayTest";
        Platform::RegisterClassA(&windowClass);
        mWindow = Platform::CreateWindowExA(0, "DisplayTest", "", Platform::WS_POPUP | Platform::WS_VISIBLE,
                                            kWindowX, kWindowY, mApp.mWidth, mApp.mHeight);
    }

    ~DisplayFixture() override
    {
        mDisplay.reset();
        Platform::FreeLibrary(mApp.mModule);
        Platform::DisplayDesktop::Reset();
    }

    // Opens a fresh display on that desktop; the Init result.
    int Open(const Platform::DesktopFormat& desktop, bool windowed = true)
    {
        Platform::DisplayDesktop::SetFormat(desktop);
        mDisplay = std::make_unique<Lumo::DDInterface>(&mApp);
        mApp.mDisplay = mDisplay.get();
        return mDisplay->Init(mWindow, windowed);
    }

    // The self-test's record of a clean pass on the layer's adapter, so that a
    // start with 3D asked for draws through the device without testing it.
    void StoreCleanTestRecord()
    {
        Platform::HKEY key = nullptr;
        Platform::RegCreateKeyExA(Platform::HKEY_CURRENT_USER, "SOFTWARE\\Tests\\Display\\Test3D", &key);
        const uint32_t values[3] = {2, uint32_t(mApp.mMinVidMemory), uint32_t(mApp.mRecVidMemory)};
        const char* names[3] = {"Version", "MinVidMemory", "RecVidMemory"};
        for (int i = 0; i < 3; ++i)
            Platform::RegSetValueExA(key, names[i], Platform::REG_DWORD, reinterpret_cast<const uint8_t*>(&values[i]),
                                     4);
        const auto guid = Platform::DisplayDesktop::Format().adapterGuid;
        Platform::RegSetValueExA(key, "DisplayGUID", Platform::REG_BINARY, guid.data(), 16);
        for (const char* name : {"FailureReason", "Warning"})
            Platform::RegSetValueExA(key, name, Platform::REG_SZ, reinterpret_cast<const uint8_t*>(""), 1);
        Platform::RegCloseKey(key);
    }

    // Opens the display drawing through the 3D device.
    int Open3D(const Platform::DesktopFormat& desktop)
    {
        StoreCleanTestRecord();
        mApp.mUse3D = true;
        return Open(desktop);
    }

    Lumo::DDImage* Screen() { return mDisplay->GetScreenImage(); }

    // An image of the display holding the pixels, row by row.
    std::unique_ptr<Lumo::DDImage> MakeImage(int width, int height, const std::vector<uint32_t>& pixels)
    {
        auto image = std::make_unique<Lumo::DDImage>(mDisplay.get());
        image->SetBits(pixels.data(), width, height, true);
        return image;
    }

    // An image on a surface whose every pixel holds the raw value.
    std::unique_ptr<Lumo::DDImage> Destination(int width, int height, uint32_t raw)
    {
        auto image = MakeImage(width, height, std::vector<uint32_t>(size_t(width) * size_t(height), 0xFF000000));
        EXPECT_TRUE(image->CreateSurface());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image->mSurface->SetPixelAt(x, y, raw);
        return image;
    }

    // The raw pixel of a surface.
    static uint32_t Pixel(Platform::IDirectDrawSurface* surface, int x, int y) { return surface->PixelAt(x, y); }

    Platform::HeadlessSession mSession;
    // The self-test's record and runtime errors stay in memory.
    Platform::RegistryStore mRegistry;
    Platform::ScopedRegistryStore mRegistryScope{&mRegistry};
    TestApp mApp;
    Platform::HWND mWindow = nullptr;
    std::unique_ptr<Lumo::DDInterface> mDisplay;
};

} // namespace DisplayTest

#pragma once

#include "framework/display/DDInterface.h"
#include "framework/display/DisplayAppHost.h"
#include "framework/graphics/images/ImageHost.h"
#include "platform/windows/Messages.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowConstants.h"

// The application side of a display in a benchmark: images kept by their
// owners, textures dropped with them, the rasterizer the benchmark sets.
class BenchDisplayHost : public Lumo::DisplayAppHost, public Lumo::ImageHost {
public:
    Lumo::DDInterface* mDisplay = nullptr;
    Platform::HMODULE mModule = nullptr;
    Lumo::ImageHost* GetImageHost() override { return this; }
    Platform::HMODULE GetDirectDrawModule() override { return mModule; }
    void AddImageToSet(Lumo::MemoryImage*) override {}
    void RemoveImageFromSet(Lumo::MemoryImage* image) override { DropImageTextures(image); }
    void DropImageTextures(Lumo::MemoryImage* image) override
    {
        if (mDisplay)
            mDisplay->RemoveImageTextures(image);
    }
    bool Is3DAccelerated() override { return false; }
    Lumo::NativeDisplay* GetNativeDisplay() override { return mDisplay; }
    bool CopyTexturesToBits(Lumo::MemoryImage*) override { return false; }
    Lumo::TriangleRasterizer* GetTriangleRasterizer() override { return mRasterizer; }
    Lumo::TriangleRasterizer* mRasterizer = nullptr;
};

// A visible pop-up window of that client size at the desktop's corner.
inline Platform::HWND OpenBenchWindow(int width, int height)
{
    Platform::WNDCLASSA windowClass;
    windowClass.lpfnWndProc = [](Platform::HWND window, uint32_t message, Platform::WPARAM wParam,
                                 Platform::LPARAM lParam) {
        return Platform::DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = "Bench";
    Platform::RegisterClassA(&windowClass);
    return Platform::CreateWindowExA(0, "Bench", "", Platform::WS_POPUP | Platform::WS_VISIBLE, 0, 0, width, height);
}

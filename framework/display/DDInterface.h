#pragma once

#include "framework/core/CriticalSectionHolder.h"
#include "framework/core/Fraction.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/D3DTester.h"
#include "framework/graphics/images/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DirectDrawSurface.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

namespace Lumo {

class DDImage;
class DisplayAppHost;
class Image;
class MemoryImage;

// The application's one display device: DirectDraw, the primary, back and
// draw surfaces, the screen image, the pixel-format tables of the software
// raster routines, presenting and the software cursor.
class DDInterface : public NativeDisplay {
public:
    enum InitResult {
        RESULT_OK = 0,
        RESULT_FAIL = 1,
        RESULT_DD_CREATE_FAIL = 2,
        RESULT_SURFACE_FAIL = 3,
        RESULT_EXCLUSIVE_FAIL = 4,
        RESULT_DISPCHANGE_FAIL = 5,
        RESULT_INVALID_COLORDEPTH = 6,
        RESULT_3D_FAIL = 7,
    };

    // 1 while the primary's channels run blue, green, red from the low bits
    // up; the raster routines' direct 16-bit loops need that order.
    static inline std::atomic<uint8_t> gChannelOrderFlag{0};

    explicit DDInterface(DisplayAppHost* app);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    int Init(Platform::HWND window, bool windowed);
    void Cleanup();
    Platform::HRESULT CreateSurface(Platform::DDSURFACEDESC2* desc, Platform::IDirectDrawSurface** surface);
    DDImage* GetScreenImage() { return mScreenImage; }
    void SetDrawInVideoMemory(bool on);
    void AddImage(DDImage* image);
    void RemoveImage(DDImage* image);
    void RemoveImageTextures(MemoryImage* image);
    // True when the result is a failure; the error text then names the step.
    bool CheckResult(Platform::HRESULT result, const char* step);
    static std::string GetResultName(int result);
    // Whether aspect a is wider than aspect b.
    static bool IsWider(const Fraction& a, const Fraction& b);

    bool Redraw(const Rect* dirtyRect);
    bool SetCursorImage(Image* image);
    void SetCursorPos(int x, int y);
    void SetCursorScale(int numerator, int denominator);
    void DrawCursor(Platform::IDirectDrawSurface* surface, bool screenCoordinates);
    void RestoreCursorArea(Platform::IDirectDrawSurface* surface);
    void MoveCursor(Platform::IDirectDrawSurface* surface, int x, int y);

    DisplayAppHost* mApp;
    std::unique_ptr<D3DInterface> mD3DInterface;
    // Null until the self-test ran.
    std::unique_ptr<D3DTester> mD3DTester;
    bool mIs3D = false;
    CriticalSectionHolder mDisplayLock;
    std::atomic<bool> mPresenting{false};
    Platform::DirectDrawCreateProc mDirectDrawCreate = nullptr;
    Platform::DirectDrawCreateExProc mDirectDrawCreateEx = nullptr;
    Platform::IDirectDraw* mDD = nullptr;
    Platform::IDirectDraw7* mDD7 = nullptr;
    Platform::IDirectDrawSurface* mPrimarySurface = nullptr;
    Platform::IDirectDrawSurface* mSecondSurface = nullptr;
    Platform::IDirectDrawSurface* mDrawSurface = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    Fraction mAspect;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;
    Fraction mDesktopAspect;
    bool mAspectCorrected = false;
    int mDisplayWidth = 0;
    int mDisplayHeight = 0;
    Fraction mDisplayAspect;
    Rect mPresentRect{0, 0, 0, 0};
    int mFullScreenDepth = 0;
    int mRefreshRate = 60;
    std::atomic<int> mFrameMilliseconds{16};
    std::unique_ptr<uint32_t[]> mRedSaturationTable;
    std::unique_ptr<uint32_t[]> mGreenSaturationTable;
    std::unique_ptr<uint32_t[]> mBlueSaturationTable;
    uint32_t mRedConversionTable[256] = {};
    uint32_t mGreenConversionTable[256] = {};
    uint32_t mBlueConversionTable[256] = {};
    bool mInitialized = false;
    Platform::HWND mHWnd = nullptr;
    bool mIsWindowed = false;
    DDImage* mScreenImage = nullptr;
    std::set<DDImage*> mSurfaceImageSet;
    bool mDrawInVideoMemory = false;
    int mInitCalls = 0;

    int mCursorWidth = 0;
    int mCursorHeight = 0;
    // Written by the cursor thread without the lock, read by the present.
    std::atomic<int> mCursorX{0};
    std::atomic<int> mCursorY{0};
    int mCursorDrawnX = 0;
    int mCursorDrawnY = 0;
    bool mCursorAreaSaved = false;
    Platform::IDirectDrawSurface* mOldCursorArea = nullptr;
    Platform::IDirectDrawSurface* mNewCursorArea = nullptr;
    DDImage* mOldCursorAreaImage = nullptr;
    DDImage* mNewCursorAreaImage = nullptr;
    std::string mErrorText;
    int mPresentMode = 0;
    Image* mCursorImage = nullptr;
    Rect mScaledCursorRect{0, 0, 0, 0};
    int mCursorScaleNumerator = 800;
    int mCursorScaleDenominator = 800;
    int mCursorAreaWidth = 128;
    int mCursorAreaHeight = 128;
    Platform::IDirectDrawSurface* mScaledCursorArea = nullptr;
    DDImage* mScaledCursorAreaImage = nullptr;

private:
    // False when the test did not run; newResults tells whether it ran afresh.
    bool RunD3DTest(Platform::HWND window, bool* newResults);
    void ClearSurface(Platform::IDirectDrawSurface* surface);
    void CreateCursorAreas();
    void ReleaseCursorAreas();
    void ResizeWindowForAspect();
    void ReadPixelFormat(const Platform::DDSURFACEDESC& desc);
    // The cursor's rectangle centred at (x, y).
    Rect CursorRect(int x, int y) const;
    // The client origin of the window in screen coordinates.
    Platform::POINT ClientOrigin() const;
};

} // namespace Lumo

#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TriVertex.h"
#include "platform/display/Direct3D.h"
#include "platform/display/Direct3DDevice.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DirectDrawSurface.h"

#include <atomic>
#include <set>
#include <string>

namespace Lumo {

class DDInterface;
class DisplayAppHost;
class Image;
class MemoryImage;
class TextureData;

// Texture pixel types; also bits of a mask of the types a device accepts.
enum TexturePixelType : int {
    kPixelTypeNone = 0,
    kPixelTypeA8R8G8B8 = 1,
    kPixelTypeA4R4G4B4 = 2,
    kPixelTypeR5G6B5 = 4,
    kPixelTypePalette8 = 8,
};

struct TextureSizeLimits {
    int mMinWidth = 64;
    int mMinHeight = 64;
    int mMaxWidth = 64;
    int mMaxHeight = 64;
    int mMaxAspectRatio = 1;
};

// The display's Direct3D device: draws images as textured quads and fills
// and lines as plain primitives into the display's draw surface. Every call
// that can fail goes through CheckResult, which keeps the failed step's text
// and records it in the settings.
class D3DInterface {
public:
    // One device per process.
    static inline TextureSizeLimits gTextureSizeLimits;
    static inline int gSupportedTextureTypes = 0;
    static inline std::string gD3DErrorText;
    // A scene could not be started on the draw surface.
    static inline std::atomic<bool> gD3DDrawFailed{false};
    static inline bool gLinearFilter = false;

    explicit D3DInterface(DisplayAppHost* app);
    virtual ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    bool InitFromDDInterface(DDInterface* display);
    // True when the result is a failure.
    bool CheckResult(const char* label, Platform::HRESULT result);
    // Begins the frame's scene; false: draw nothing.
    bool PreDraw();
    void Flush();
    // 0 normal, anything else additive.
    void SetBlendMode(int drawMode);
    void SetLinearFilter(bool on);
    Platform::IDirectDrawSurface7* CreateTextureSurface(Platform::IDirectDraw7* directDraw,
                                                        Platform::IDirect3DDevice7* device, int width, int height,
                                                        int pixelType);
    // Makes sure the image has current textures; false when it has none.
    bool CreateImageTexture(MemoryImage* image);
    void RemoveImageTexture(MemoryImage* image);
    // Fills width x height 32-bit pixels from the image's textures when
    // they are current.
    bool CopyTexturesToBits(const MemoryImage* image, uint32_t* pixels);
    void Cleanup();
    // The images that hold textures; read under the display lock.
    const std::set<MemoryImage*>& ImagesWithTextures() const { return mImages; }

    void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
    void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
              int drawMode);
    void BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode);
    void BltStretched(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                      int drawMode, bool quick, bool mirror);
    void BltRotated(Image* image, float x, float y, const Rect& clip, const Color& color, int drawMode,
                    float centerX, float centerY, const Rect& srcRect, double angle);
    void BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& srcRect,
                        const Matrix3& transform, bool linear, float tx, float ty, bool center);
    void BltTriangles(Image* image, const TriVertex (*triangles)[3], int triangleCount, const Color& color,
                      int drawMode, float tx, float ty, bool linear);
    void FillRect(const Rect& rect, const Color& color, int drawMode);
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    void FillPoly(const int32_t* points, int pointCount, const Rect* clip, const Color& color, int drawMode, int tx,
                  int ty);

    static void FillTexturePixelFormat(Platform::DDPIXELFORMAT* format, int pixelType);
    static int GetTexturePixelType(const Platform::DDPIXELFORMAT& format);
    // "A8R8G8B8", "A4R4G4B4", "R5G6B5" or "Palette8"; empty for other codes.
    static const char* TexturePixelTypeName(int pixelType);
    // The vertex colour of a draw colour, unclamped.
    static uint32_t PackColor(const Color& color);

    Platform::IDirect3DDevice7* GetDevice() { return mDevice; }

private:
    bool InitD3D();
    void SetupViewport();
    // The image's textures after the scene, blend mode and filter are set;
    // null when the draw must not happen.
    TextureData* PrepareTextured(Image* image, int drawMode, bool linear);
    bool PrepareUntextured(int drawMode);

    DisplayAppHost* mApp;
    DDInterface* mDisplay = nullptr;
    Platform::HWND mWindow = nullptr;
    int mWidth = 640;
    int mHeight = 480;
    Platform::IDirectDraw7* mDirectDraw = nullptr;
    Platform::IDirectDrawSurface7* mRenderTarget = nullptr;
    Platform::IDirect3D7* mD3D = nullptr;
    Platform::IDirect3DDevice7* mDevice = nullptr;
    Platform::D3DVIEWPORT7 mViewport;
    bool mSceneBegun = false;
    std::set<MemoryImage*> mImages;
};

} // namespace Lumo

#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TriVertex.h"
#include "platform/display/Direct3DDevice.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DirectDrawSurface.h"

#include <vector>

namespace Lumo {

class D3DInterface;
class MemoryImage;

struct TexturePiece {
    Platform::IDirectDrawSurface7* mTexture = nullptr;
    int mWidth = 0;
    int mHeight = 0;
};

// The textures of one image: a grid of pieces whose sides the device
// accepts, all of one pixel type, rebuilt when the image's pixels, size or
// texture flags change.
class TextureData {
public:
    // Texture flags of an image.
    static constexpr uint32_t kFlagPowerOfTwo = 1;
    static constexpr uint32_t kFlagSmallPieces = 2;
    static constexpr uint32_t kFlagPreferA4R4G4B4 = 4;
    static constexpr uint32_t kFlagAlwaysAlpha = 8;

    TextureData() = default;
    ~TextureData();
    TextureData(const TextureData&) = delete;
    TextureData& operator=(const TextureData&) = delete;

    void CheckCreateTextures(D3DInterface* owner, MemoryImage* image, Platform::IDirectDraw7* directDraw,
                             Platform::IDirect3DDevice7* device);
    void CreateTextures(D3DInterface* owner, MemoryImage* image, Platform::IDirectDraw7* directDraw,
                        Platform::IDirect3DDevice7* device);
    void CreateTextureDimensions(MemoryImage* image);
    void ReleaseTextures();
    // The piece under image point (x, y); width and height come back cut to
    // the piece, with the texture coordinates of the part.
    Platform::IDirectDrawSurface7* GetTexture(int x, int y, int* width, int* height, float* uMin, float* vMin,
                                              float* uMax, float* vMax);
    // Reads every piece back into width x height pixels of the image's size.
    bool CopyToBits(D3DInterface* owner, const MemoryImage* image, uint32_t* bits);

    void Blt(D3DInterface* owner, const Rect& srcRect, uint32_t color, float x, float y);
    void BltTransformed(D3DInterface* owner, uint32_t color, const Matrix3& transform, const Rect& srcRect,
                        const Rect* clip, float tx, float ty, bool center);
    void BltTriangles(D3DInterface* owner, const TriVertex (*triangles)[3], int triangleCount, uint32_t color,
                      float tx, float ty);

    std::vector<TexturePiece> mPieces;
    Platform::IDirectDrawPalette* mPalette = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    int mColumns = 0;
    int mRows = 0;
    int mPieceWidth = 64;
    int mPieceHeight = 64;
    int mChangeCount = 0;
    int mTextureMemory = 0;
    float mMaxU = 0;
    float mMaxV = 0;
    int mPixelType = 0;
    uint32_t mFlags = 0;

private:
    void CopyImageToTexture(D3DInterface* owner, MemoryImage* image, Platform::IDirectDrawSurface7* texture, int x,
                            int y, int textureWidth, int textureHeight);
};

// Piece sizes for an extent: powers of two within the device's limits.
void GetBestTextureDimensions(int* width, int* height, bool edge, uint32_t flags);
int RoundUpToPow2(int n);
bool IsPowerOfTwo(int n);

} // namespace Lumo

#include "framework/display/TextureData.h"

#include "framework/display/D3DInterface.h"
#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Lumo {

using namespace Platform;

namespace {

// Per extent 0..1023 the piece size that pads it by at most 64 texels.
const std::array<int, 1024>& PieceSizeTable()
{
    static const std::array<int, 1024> table = [] {
        std::array<int, 1024> sizes{};
        for (int n = 0; n < 1024; ++n) {
            const int p = RoundUpToPow2(n);
            if (p - n <= 64) {
                sizes[size_t(n)] = p;
                continue;
            }
            int s = p / 2;
            int r = n % s;
            while (r >= 64 && !IsPowerOfTwo(r)) {
                s /= 2;
                r = n % s;
            }
            sizes[size_t(n)] = s;
        }
        return sizes;
    }();
    return table;
}

int BytesPerTexel(int pixelType)
{
    return pixelType == kPixelTypeA8R8G8B8 ? 4 : pixelType == kPixelTypePalette8 ? 1 : 2;
}

uint32_t ToTexel(uint32_t argb, int pixelType)
{
    switch (pixelType) {
    case kPixelTypeA4R4G4B4:
        return (argb >> 16 & 0xF000) | (argb >> 12 & 0x0F00) | (argb >> 8 & 0x00F0) | (argb >> 4 & 0x000F);
    case kPixelTypeR5G6B5:
        return (argb >> 8 & 0xF800) | (argb >> 5 & 0x07E0) | (argb >> 3 & 0x001F);
    default:
        return argb;
    }
}

uint32_t FromTexel(uint32_t texel, int pixelType)
{
    switch (pixelType) {
    case kPixelTypeA4R4G4B4:
        // The nibble widens to the full range, so an opaque texel stays opaque.
        return ((texel >> 12) & 0xF) * 0x11 << 24 | ((texel >> 8) & 0xF) << 20 | ((texel >> 4) & 0xF) << 12 |
               (texel & 0xF) << 4;
    case kPixelTypeR5G6B5:
        return 0xFF000000 | (texel >> 11) << 19 | ((texel >> 5) & 0x3F) << 10 | (texel & 0x1F) << 3;
    default:
        return texel;
    }
}

} // namespace

int RoundUpToPow2(int n)
{
    if (n < 2)
        return 1;
    int p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

bool IsPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

void GetBestTextureDimensions(int* width, int* height, bool edge, uint32_t flags)
{
    if (flags & TextureData::kFlagSmallPieces) {
        *width = *height = 64;
        return;
    }
    const TextureSizeLimits& limits = D3DInterface::gTextureSizeLimits;
    auto pick = [&](int extent, int maximum) {
        if (extent >= maximum)
            return maximum;
        if (edge || (flags & TextureData::kFlagPowerOfTwo))
            return RoundUpToPow2(extent);
        return PieceSizeTable()[size_t(std::max(extent, 0))];
    };
    *width = std::max(pick(*width, limits.mMaxWidth), limits.mMinWidth);
    *height = std::max(pick(*height, limits.mMaxHeight), limits.mMinHeight);
    const int64_t aspect = limits.mMaxAspectRatio;
    while (*height < *width && *width > aspect * *height)
        *height *= 2;
    while (*width < *height && *height > aspect * *width)
        *width *= 2;
}

TextureData::~TextureData()
{
    ReleaseTextures();
}

void TextureData::ReleaseTextures()
{
    for (TexturePiece& piece : mPieces)
        if (piece.mTexture)
            piece.mTexture->Release();
    mPieces.clear();
    mTextureMemory = 0;
    if (mPalette)
        mPalette->Release();
    mPalette = nullptr;
}

void TextureData::CreateTextureDimensions(MemoryImage* image)
{
    const int w = image->mWidth;
    const int h = image->mHeight;
    // An image without rows or columns has nothing to hold.
    if (w < 1 || h < 1) {
        mColumns = mRows = 0;
        mMaxU = mMaxV = 0;
        return;
    }
    mPieceWidth = w;
    mPieceHeight = h;
    GetBestTextureDimensions(&mPieceWidth, &mPieceHeight, false, mFlags);
    int rightWidth = mPieceWidth, rightHeight = mPieceHeight;
    if (w % mPieceWidth > 0) {
        rightWidth = w % mPieceWidth;
        GetBestTextureDimensions(&rightWidth, &rightHeight, true, mFlags);
    }
    int bottomWidth = mPieceWidth, bottomHeight = mPieceHeight;
    if (h % mPieceHeight > 0) {
        bottomHeight = h % mPieceHeight;
        GetBestTextureDimensions(&bottomWidth, &bottomHeight, true, mFlags);
    }
    int cornerWidth = rightWidth, cornerHeight = bottomHeight;
    GetBestTextureDimensions(&cornerWidth, &cornerHeight, true, mFlags);

    mColumns = (w + mPieceWidth - 1) / mPieceWidth;
    mRows = (h + mPieceHeight - 1) / mPieceHeight;
    mPieces.assign(size_t(mColumns) * size_t(mRows), TexturePiece{nullptr, mPieceWidth, mPieceHeight});
    for (int row = 0; row < mRows; ++row)
        mPieces[size_t(row * mColumns + mColumns - 1)] = TexturePiece{nullptr, rightWidth, rightHeight};
    for (int column = 0; column < mColumns; ++column)
        mPieces[size_t((mRows - 1) * mColumns + column)] = TexturePiece{nullptr, bottomWidth, bottomHeight};
    mPieces.back() = TexturePiece{nullptr, cornerWidth, cornerHeight};
    mMaxU = float(w) / float(mPieceWidth);
    mMaxV = float(h) / float(mPieceHeight);
}

void TextureData::CheckCreateTextures(D3DInterface* owner, MemoryImage* image, IDirectDraw7* directDraw,
                                      IDirect3DDevice7* device)
{
    if (mPixelType != kPixelTypeNone && mWidth == image->mWidth && mHeight == image->mHeight &&
        mChangeCount == image->bitsChangeCount && mFlags == image->textureFlags)
        return;
    CreateTextures(owner, image, directDraw, device);
}

void TextureData::CreateTextures(D3DInterface* owner, MemoryImage* image, IDirectDraw7* directDraw,
                                 IDirect3DDevice7* device)
{
    image->DeleteSoftwareBuffers();
    image->CheckAlpha();
    int& supported = D3DInterface::gSupportedTextureTypes;
    int type = kPixelTypeA8R8G8B8;
    if (!image->hasTransparency && !image->hasTranslucency && (supported & kPixelTypeR5G6B5) &&
        !(image->textureFlags & kFlagAlwaysAlpha))
        type = kPixelTypeR5G6B5;

    IDirectDrawPalette* palette = nullptr;
    if (image->colorIndices && image->colorTable && (supported & kPixelTypePalette8)) {
        DDPALETTEENTRY entries[256];
        for (int i = 0; i < 256; ++i) {
            const uint32_t color = image->colorTable[size_t(i)];
            entries[i] = DDPALETTEENTRY{uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color),
                                        uint8_t(color >> 24)};
        }
        if (SUCCEEDED(directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA, entries, &palette,
                                                nullptr)))
            type = kPixelTypePalette8;
        else
            supported &= ~kPixelTypePalette8;
    }
    if (type == kPixelTypeA8R8G8B8 &&
        (((image->textureFlags & kFlagPreferA4R4G4B4) && (supported & kPixelTypeA4R4G4B4)) ||
         !(supported & kPixelTypeA8R8G8B8)))
        type = kPixelTypeA4R4G4B4;

    bool create = false;
    if (mWidth != image->mWidth || mHeight != image->mHeight || mPixelType != type ||
        mFlags != image->textureFlags) {
        ReleaseTextures();
        mPixelType = type;
        mFlags = image->textureFlags;
        mWidth = image->mWidth;
        mHeight = image->mHeight;
        CreateTextureDimensions(image);
        create = true;
    }
    if (mPalette) {
        mPalette->Release();
        mTextureMemory -= 1024;
    }
    mPalette = palette;
    if (mPalette)
        mTextureMemory += 1024;

    const int bytes = BytesPerTexel(type);
    size_t index = 0;
    for (int y = 0; y < image->mHeight; y += mPieceHeight) {
        for (int x = 0; x < image->mWidth; x += mPieceWidth, ++index) {
            TexturePiece& piece = mPieces[index];
            if (create) {
                piece.mTexture = owner->CreateTextureSurface(directDraw, device, piece.mWidth, piece.mHeight, type);
                if (!piece.mTexture) {
                    mPixelType = kPixelTypeNone;
                    return;
                }
                mTextureMemory += piece.mWidth * piece.mHeight * bytes;
            }
            // A palette made for new pixels replaces the one the pieces hold.
            if (mPalette)
                piece.mTexture->SetPalette(mPalette);
            CopyImageToTexture(owner, image, piece.mTexture, x, y, piece.mWidth, piece.mHeight);
        }
    }
    mChangeCount = image->bitsChangeCount;
    mPixelType = type;
}

void TextureData::CopyImageToTexture(D3DInterface* owner, MemoryImage* image, IDirectDrawSurface7* texture, int x,
                                     int y, int textureWidth, int textureHeight)
{
    DDSURFACEDESC2 desc;
    if (owner->CheckResult("Lock Texture", texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr)))
        return;
    const int w = std::min(textureWidth, image->mWidth - x);
    const int h = std::min(textureHeight, image->mHeight - y);
    const bool extendRight = w < textureWidth;
    const bool extendDown = h < textureHeight;
    const bool indexed = image->colorIndices && image->colorTable;
    const uint32_t* pixels = indexed ? nullptr : (image->bits ? image->bits.get() : image->GetPixelBits());
    const int bytes = BytesPerTexel(mPixelType);
    auto* rows = static_cast<uint8_t*>(desc.lpSurface);
    if (w >= 1 && h >= 1) {
        for (int row = 0; row < h; ++row) {
            uint8_t* out = rows + ptrdiff_t(row) * desc.lPitch;
            const size_t from = size_t(y + row) * size_t(image->mWidth) + size_t(x);
            for (int column = 0; column <= w; ++column) {
                if (column == w && !extendRight)
                    break;
                const size_t at = from + size_t(std::min(column, w - 1));
                uint32_t texel;
                if (mPixelType == kPixelTypePalette8)
                    texel = image->colorIndices[at];
                else
                    texel = ToTexel(indexed ? image->colorTable[image->colorIndices[at]] : pixels[at], mPixelType);
                std::memcpy(out + ptrdiff_t(column) * bytes, &texel, size_t(bytes));
            }
        }
        if (extendDown)
            std::memcpy(rows + ptrdiff_t(h) * desc.lPitch, rows + ptrdiff_t(h - 1) * desc.lPitch,
                        size_t(desc.lPitch));
    }
    owner->CheckResult("Texture Unlock", texture->Unlock(nullptr));
}

IDirectDrawSurface7* TextureData::GetTexture(int x, int y, int* width, int* height, float* uMin, float* vMin,
                                             float* uMax, float* vMax)
{
    const int column = x / mPieceWidth;
    const int row = y / mPieceHeight;
    if (x < 0 || y < 0 || column >= mColumns || row >= mRows)
        return nullptr;
    const int offX = x % mPieceWidth;
    const int offY = y % mPieceHeight;
    const TexturePiece& piece = mPieces[size_t(row * mColumns + column)];
    const int right = std::min(offX + *width, piece.mWidth);
    const int bottom = std::min(offY + *height, piece.mHeight);
    *width = right - offX;
    *height = bottom - offY;
    *uMin = float(offX) / float(piece.mWidth);
    *vMin = float(offY) / float(piece.mHeight);
    *uMax = float(right) / float(piece.mWidth);
    *vMax = float(bottom) / float(piece.mHeight);
    return piece.mTexture;
}

bool TextureData::CopyToBits(D3DInterface* owner, const MemoryImage* image, uint32_t* bits)
{
    if (image->mWidth != mWidth || image->mHeight != mHeight)
        return false;
    for (int row = 0; row < mRows; ++row) {
        for (int column = 0; column < mColumns; ++column) {
            const TexturePiece& piece = mPieces[size_t(row * mColumns + column)];
            if (!piece.mTexture)
                return false;
            DDSURFACEDESC2 desc;
            if (owner->CheckResult("Lock Texture",
                                   piece.mTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
                return false;
            uint32_t palette[256] = {};
            if (mPixelType == kPixelTypePalette8 && mPalette) {
                DDPALETTEENTRY entries[256];
                if (SUCCEEDED(mPalette->GetEntries(0, 0, 256, entries)))
                    for (int i = 0; i < 256; ++i)
                        palette[i] = uint32_t(entries[i].peFlags) << 24 | uint32_t(entries[i].peRed) << 16 |
                                     uint32_t(entries[i].peGreen) << 8 | entries[i].peBlue;
            }
            const int originX = column * mPieceWidth;
            const int originY = row * mPieceHeight;
            const int w = std::min(image->mWidth - originX, piece.mWidth);
            const int h = std::min(image->mHeight - originY, piece.mHeight);
            const int bytes = BytesPerTexel(mPixelType);
            const auto* rows = static_cast<const uint8_t*>(desc.lpSurface);
            for (int y = 0; y < h; ++y) {
                uint32_t* out = bits + size_t(originY + y) * size_t(image->mWidth) + size_t(originX);
                for (int x = 0; x < w; ++x) {
                    uint32_t texel = 0;
                    std::memcpy(&texel, rows + ptrdiff_t(y) * desc.lPitch + ptrdiff_t(x) * bytes, size_t(bytes));
                    out[x] = mPixelType == kPixelTypePalette8 ? palette[texel & 0xFF] : FromTexel(texel, mPixelType);
                }
            }
            owner->CheckResult("Texture Unlock", piece.mTexture->Unlock(nullptr));
        }
    }
    return true;
}

} // namespace Lumo

#pragma once

#include "framework/graphics/images/Image.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Lumo {

class ImageHost;
class NativeDisplay;
class TextureData;

// A software image: 32-bit 0xAARRGGBB pixels in main memory, with the forms
// derived from them (display-format copy, run-length tables, textures) cached
// until the pixels change, and two storage modes that save memory (palettized
// and purged).
//
// Every operation that may be overridden is virtual and is called through the
// virtual table from the routines here, because the display's surface image
// extends several of them. Keep the slot order.
class MemoryImage : public Image {
public:
    static constexpr uint32_t kGuardWord = 0x4BEEFADE;

    // width x height pixels row by row plus one guard word; null while
    // palettized, purged or not yet built.
    std::unique_ptr<uint32_t[]> bits;
    int32_t bitsChangeCount = 0;
    // Owned by the display; this image never frees it.
    TextureData* textureData = nullptr;
    // Bit 0x8 changes the texture format chosen for an image without alpha.
    uint32_t textureFlags = 0;
    std::unique_ptr<uint32_t[]> colorTable;   // 256 entries when palettized
    std::unique_ptr<uint8_t[]> colorIndices;  // width x height when palettized
    bool alphaFlagsForced = false;
    bool hasTransparency = false;             // some pixel has alpha 0
    bool hasTranslucency = false;             // some pixel has alpha 1..254
    bool blitShortcut = false;
    bool purgeWanted = false;
    bool palettizeWanted = false;
    // Display format, colour premultiplied, alpha kept in the top byte;
    // 256 entries for a palettized image.
    std::unique_ptr<uint32_t[]> nativeAlphaData;
    std::unique_ptr<uint8_t[]> runLengthAlphaData;
    std::unique_ptr<uint8_t[]> runLengthAdditiveData;
    bool alphaCheckPending = false;
    ImageHost* app;

    // On the current host (ImageHost::Current()).
    MemoryImage();
    explicit MemoryImage(ImageHost* host);
    // Copies every store and derived form except the textures; the source
    // keeps its storage mode.
    MemoryImage(const MemoryImage& source);
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() override;

    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void FillSpansWithCoverage(Span* spans, int spanCount, const Color& color, int drawMode,
                               const uint8_t* coverage, int coverX, int coverY, int coverStride,
                               int unused) override;
    void Blit(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BlitFloat(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int drawMode) override;
    void BlitRotated(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode, double angle, float centerX, float centerY) override;
    void BlitStretched(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                       const Color& color, int drawMode, bool quick) override;
    void BlitTransformed(Image* source, float x, float y, const Matrix3& transform, const Rect& clip,
                         const Color& color, int drawMode, const Rect& srcRect, bool blend) override;
    void BlitTriangles(Image* source, const TriVertex (*triangles)[3], int triangleCount, const Rect& clip,
                       const Color& color, int drawMode, float tx, float ty, bool blend) override;
    void BlitWithAlphaMask(Image* source, int x, int y, const Rect& srcRect, Image* mask, const Rect& maskRect,
                           const Color& color, int drawMode) override;

    // Built on demand and cached until the pixels change.
    virtual uint32_t* GetNativeAlphaData(NativeDisplay* display);
    // Per pixel: the pixels left in its run of equal alpha class (0, 255,
    // other) within the row, itself included, capped at 255.
    virtual uint8_t* GetRunLengthAlphaData();
    // The same for black versus non-black native pixels.
    virtual uint8_t* GetRunLengthAdditiveData(NativeDisplay* display);
    // Frees the 32-bit pixels where another form can rebuild them.
    virtual void PurgeBits();
    virtual void DeleteSoftwareBuffers();
    virtual void DeleteHardwareData();
    virtual void DeleteAllDerivedData();
    virtual void ReapplyStorageMode();
    virtual void MarkBitsChanged();
    virtual void CheckAlpha();
    // Frees the display-format forms only.
    virtual void DeleteNativeData();
    virtual void Clear();
    virtual void SetBits(const uint32_t* pixels, int width, int height, bool commit);
    virtual void SetSize(int width, int height);
    // Never null for an image of at least one pixel: builds the pixels from
    // the palette, the native data or the textures, else transparent black.
    virtual uint32_t* GetPixelBits();
    // Forces the two flags; CheckAlpha then leaves them alone.
    virtual void SetAlphaFlags(bool transparency, bool translucency);
    virtual void SetBlitShortcut(bool shortcut);
    // Up to 256 colours into a palette and one index byte per pixel; false
    // (image unchanged) when there are more.
    virtual bool Palettize();

protected:
    // Native data built while palettized holds the palette's 256 entries and
    // means nothing without it, so it goes with the palette.
    void DropPalette();

private:
    // width x height, or 0 for an image without pixels.
    size_t PixelCount() const;
    void AllocateBits();
};

} // namespace Lumo

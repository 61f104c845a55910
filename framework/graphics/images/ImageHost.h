#pragma once

namespace Lumo {

class MemoryImage;
class NativeDisplay;
class TriangleRasterizer;

// What a memory image needs of the application that holds it. The
// application implements it; DefaultImageHost serves until one is installed
// and in tests.
class ImageHost {
public:
    virtual ~ImageHost() = default;

    // Membership of the application's image set, through which it reaches
    // every image to drop or rebuild display-dependent data.
    virtual void AddImageToSet(MemoryImage* image) = 0;
    // Also drops the image's textures.
    virtual void RemoveImageFromSet(MemoryImage* image) = 0;
    virtual void DropImageTextures(MemoryImage* image) = 0;
    virtual bool Is3DAccelerated() = 0;
    // The display's pixel format; never null.
    virtual NativeDisplay* GetNativeDisplay() = 0;
    // Fills the image's already allocated 32-bit pixels from its textures.
    virtual bool CopyTexturesToBits(MemoryImage* image) = 0;
    // Null when no software rasterizer is available: matrix and triangle
    // blits then draw nothing.
    virtual TriangleRasterizer* GetTriangleRasterizer() = 0;

    // The host used by images made without one: the installed host, or a
    // process-wide DefaultImageHost when none is installed.
    static ImageHost& Current();
    // Null restores the default host. Returns the previous installed host.
    static ImageHost* Install(ImageHost* host);
};

} // namespace Lumo

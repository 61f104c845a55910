#include "framework/graphics/images/DefaultImageHost.h"

namespace Lumo {

DefaultImageHost::DefaultImageHost()
{
    mDisplay.mBitsPerPixel = 32;
    mDisplay.mRedMask = 0x00FF0000;
    mDisplay.mGreenMask = 0x0000FF00;
    mDisplay.mBlueMask = 0x000000FF;
    mDisplay.mRedBits = mDisplay.mGreenBits = mDisplay.mBlueBits = 8;
    mDisplay.mRedShift = 16;
    mDisplay.mGreenShift = 8;
    mDisplay.mBlueShift = 0;
}

void DefaultImageHost::AddImageToSet(MemoryImage* image)
{
    std::lock_guard<std::mutex> hold(mLock);
    mImages.insert(image);
}

void DefaultImageHost::RemoveImageFromSet(MemoryImage* image)
{
    std::lock_guard<std::mutex> hold(mLock);
    mImages.erase(image);
}

// Without a display there are no textures to drop or copy back.
void DefaultImageHost::DropImageTextures(MemoryImage*) {}

bool DefaultImageHost::CopyTexturesToBits(MemoryImage*)
{
    return false;
}

bool DefaultImageHost::Is3DAccelerated()
{
    return false;
}

NativeDisplay* DefaultImageHost::GetNativeDisplay()
{
    return &mDisplay;
}

TriangleRasterizer* DefaultImageHost::GetTriangleRasterizer()
{
    return mRasterizer;
}

bool DefaultImageHost::HoldsImage(MemoryImage* image)
{
    std::lock_guard<std::mutex> hold(mLock);
    return mImages.count(image) != 0;
}

void DefaultImageHost::SetDisplayFormat(const NativeDisplay& format)
{
    mDisplay = format;
}

void DefaultImageHost::SetTriangleRasterizer(TriangleRasterizer* rasterizer)
{
    mRasterizer = rasterizer;
}

} // namespace Lumo

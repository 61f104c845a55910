#pragma once

#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/NativeDisplay.h"

#include <mutex>
#include <set>

namespace Lumo {

// A host without a display: a 32-bit ARGB pixel format, no textures, 2D.
// Keeps its image set so that registration can be checked.
class DefaultImageHost final : public ImageHost {
public:
    DefaultImageHost();

    void AddImageToSet(MemoryImage* image) override;
    void RemoveImageFromSet(MemoryImage* image) override;
    void DropImageTextures(MemoryImage* image) override;
    bool Is3DAccelerated() override;
    NativeDisplay* GetNativeDisplay() override;
    bool CopyTexturesToBits(MemoryImage* image) override;
    TriangleRasterizer* GetTriangleRasterizer() override;

    bool HoldsImage(MemoryImage* image);
    void SetDisplayFormat(const NativeDisplay& format);
    void SetTriangleRasterizer(TriangleRasterizer* rasterizer);

private:
    std::mutex mLock;
    std::set<MemoryImage*> mImages;
    NativeDisplay mDisplay;
    TriangleRasterizer* mRasterizer = nullptr;
};

} // namespace Lumo

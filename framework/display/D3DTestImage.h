#pragma once

#include <cstdint>
#include <memory>

namespace Lumo {

// The 32-bit ARGB pictures of the hardware self-test: what it draws and
// what it reads back.
class D3DTestImage {
public:
    virtual ~D3DTestImage() = default;

    // Nothing unless both sides are positive.
    void Create(int width, int height);
    // rows rows of width pixels from pixel index start, one image row apart.
    void FillRect(int start, int rows, int width, uint32_t color);
    // Even columns opaque black, odd ones opaque white.
    void FillStripes();

    std::unique_ptr<uint32_t[]> mPixels;
    int mWidth = 0;
    int mHeight = 0;
};

} // namespace Lumo

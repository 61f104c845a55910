#pragma once

#include "framework/graphics/images/DefaultImageHost.h"
#include "framework/graphics/images/MemoryImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace ImagingTests {

// Every test draws on images of its own host, so nothing is shared.
class ImagingTest : public ::testing::Test {
protected:
    // Sets the pixels and lets the alpha flags follow them.
    static void Fill(Lumo::MemoryImage& image, int width, int height, std::vector<uint32_t> pixels)
    {
        image.SetBits(pixels.data(), width, height, true);
    }

    static void FillWith(Lumo::MemoryImage& image, int width, int height, uint32_t pixel)
    {
        Fill(image, width, height, std::vector<uint32_t>(size_t(width) * size_t(height), pixel));
    }

    static std::vector<uint32_t> PixelsOf(Lumo::MemoryImage& image)
    {
        const uint32_t* bits = image.GetPixelBits();
        return std::vector<uint32_t>(bits, bits + size_t(image.mWidth) * size_t(image.mHeight));
    }

    static uint32_t At(Lumo::MemoryImage& image, int x, int y)
    {
        return image.GetPixelBits()[size_t(y) * size_t(image.mWidth) + size_t(x)];
    }

    Lumo::DefaultImageHost host;
};

} // namespace ImagingTests

#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/codecs/ImageLibFile.h"

#include <memory>

namespace ImageLib {

namespace {

constexpr int kHeaderSize = 18;
constexpr uint8_t kBitsPerPixel = 32;
// Eight alpha bits, origin at the top left.
constexpr uint8_t kDescriptor = 0x28;

} // namespace

// Uncompressed 32-bit files without an image ID or colour map only; the
// image type is not looked at.
Image* GetTGAImage(const std::string& fileName)
{
    File file(fileName);
    if (!file.IsOpen())
        return nullptr;
    uint8_t header[kHeaderSize];
    if (!file.Read(header, sizeof header))
        return nullptr;
    const int32_t width = header[12] | (header[13] << 8);
    const int32_t height = header[14] | (header[15] << 8);
    if (header[16] != kBitsPerPixel || header[17] != kDescriptor)
        return nullptr;
    // A header that promises more pixels than the file holds is refused
    // rather than trusted.
    const int64_t pixelBytes = int64_t(width) * height * 4;
    if (int64_t(width) * height > kMaxPixels || pixelBytes > file.Remaining())
        return nullptr;

    auto image = std::make_unique<Image>(width, height);
    // Blue, green, red, alpha in the file is the pixel word in memory.
    if (!file.Read(image->GetBits(), size_t(pixelBytes)))
        return nullptr;
    return image.release();
}

} // namespace ImageLib

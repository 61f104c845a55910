// PNG decoding from memory, and the same bytes subloaded into a small buffer.
#include "framework/graphics/codecs/ImageLib.h"

#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<ImageLib::Image> image(ImageLib::DecodePNGBuffer(data, size, &width, &height));
    if (image) {
        volatile uint32_t sink = 0;
        for (size_t i = 0, count = size_t(width) * size_t(height); i < count; ++i)
            sink = sink + image->GetBits()[i];
    }
    return 0;
}

// One image reader fed arbitrary files; LUMO_FUZZ_READER names it and
// LUMO_FUZZ_EXTENSION gives the file its extension.
#include "framework/graphics/codecs/ImageLib.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzInputFile file(data, size, std::string("input") + LUMO_FUZZ_EXTENSION);
    std::unique_ptr<ImageLib::Image> image(ImageLib::LUMO_FUZZ_READER(file.Path()));
    if (image) {
        volatile uint32_t sink = 0;
        const size_t count = size_t(image->Width()) * size_t(image->Height());
        for (size_t i = 0; i < count; ++i)
            sink = sink + image->GetBits()[i];
    }
    return 0;
}

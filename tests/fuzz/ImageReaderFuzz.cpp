// One image reader fed arbitrary files; LUMO_FUZZ_READER names it and
// LUMO_FUZZ_EXTENSION gives the file its extension.
#include "framework/graphics/codecs/ImageLib.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = (std::filesystem::temp_directory_path() /
                                        ("lumo-fuzz-" + std::to_string(std::random_device()()) + LUMO_FUZZ_EXTENSION)).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    std::unique_ptr<ImageLib::Image> image(ImageLib::LUMO_FUZZ_READER(path));
    if (image) {
        volatile uint32_t sink = 0;
        const size_t count = size_t(image->Width()) * size_t(image->Height());
        for (size_t i = 0; i < count; ++i)
            sink = sink + image->GetBits()[i];
    }
    return 0;
}

// Font descriptors of any content: parsed, run as commands, and measured.
#include "framework/graphics/fonts/ImageFont.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = (std::filesystem::temp_directory_path() /
                                        ("lumo-fuzz-" + std::to_string(std::random_device()()) + ".txt")).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    Lumo::ImageFont font(nullptr, path);
    font.SetPointSize(font.GetDefaultPointSize() + 3);
    font.StringWidth(std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    font.GetDefine("Chars");
    return 0;
}

// Font descriptors of any content: parsed, run as commands, and measured.
#include "framework/graphics/fonts/ImageFont.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzInputFile file(data, size, "input.txt");
    Lumo::ImageFont font(nullptr, file.Path());
    font.SetPointSize(font.GetDefaultPointSize() + 3);
    font.StringWidth(std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    font.GetDefine("Chars");
    return 0;
}

#include "tools/pictures/PictureWriter.h"

#include "framework/graphics/codecs/ImageLib.h"
#include "tools/pictures/Canvas.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

void PictureWriter::Write(const std::string& name, const Canvas& canvas)
{
    const std::filesystem::path path = std::filesystem::path(mFolder) / name;
    std::error_code code;
    std::filesystem::create_directories(path.parent_path(), code);
    ImageLib::Image image(canvas.Width(), canvas.Height());
    const std::vector<uint32_t> pixels = canvas.Pixels();
    std::copy(pixels.begin(), pixels.end(), image.GetBits());
    if (!ImageLib::WritePNGImage(path.string(), &image)) {
        std::fprintf(stderr, "makepictures: cannot write %s\n", path.string().c_str());
        mOk = false;
    }
}

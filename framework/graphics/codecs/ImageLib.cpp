#include "framework/graphics/codecs/ImageLib.h"

#include "framework/core/StringUtils.h"

#include <memory>

namespace ImageLib {

namespace {

using Reader = Image* (*)(const std::string&);

struct ExtensionReader {
    const char* extension;
    Reader reader;
};

const ExtensionReader kReaders[] = {
    {".tga", GetTGAImage}, {".jpg", GetJPEGImage},     {".png", GetPNGImage},
    {".gif", GetGIFImage}, {".j2k", GetJPEG2000Image}, {".jp2", GetJPEG2000Image},
};

Image* ReadColorImage(const std::string& name)
{
    const size_t dot = name.rfind('.');
    const size_t back = name.rfind('\\');
    const size_t slash = name.rfind('/');
    size_t separator = std::string::npos;
    if (back != std::string::npos)
        separator = back;
    if (slash != std::string::npos && (separator == std::string::npos || slash > separator))
        separator = slash;
    const bool hasExtension =
        dot != std::string::npos && (separator == std::string::npos || dot > separator);
    const std::string base = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? Lumo::StringToLower(name.substr(dot)) : std::string();

    for (const ExtensionReader& entry : kReaders) {
        if (hasExtension && extension != entry.extension)
            continue;
        if (Image* image = entry.reader(base + entry.extension))
            return image;
    }
    return nullptr;
}

Image* FindAlphaByPrefix(const std::string& name)
{
    const size_t separator = name.find_last_of("\\/");
    const size_t fileStart = separator == std::string::npos ? 0 : separator + 1;
    return GetImage(name.substr(0, fileStart) + "_" + name.substr(fileStart), false);
}

// Takes ownership of both; returns the merged result.
Image* MergeAlpha(Image* colorImage, Image* alphaImage)
{
    if (alphaImage == nullptr)
        return colorImage;
    std::unique_ptr<Image> alpha(alphaImage);
    const size_t count = size_t(alpha->Width()) * size_t(alpha->Height());
    uint32_t* alphaBits = alpha->GetBits();
    if (colorImage == nullptr) {
        for (size_t i = 0; i < count; ++i)
            alphaBits[i] = ((alphaBits[i] & 0xFF) << 24) | 0xFFFFFF;
        return alpha.release();
    }
    if (colorImage->Width() == alpha->Width() && colorImage->Height() == alpha->Height()) {
        uint32_t* colorBits = colorImage->GetBits();
        for (size_t i = 0; i < count; ++i)
            colorBits[i] = (colorBits[i] & 0xFFFFFF) | ((alphaBits[i] & 0xFF) << 24);
    }
    return colorImage;
}

} // namespace

Image* GetImage(const std::string& name, bool lookForAlpha)
{
    Image* colorImage = ReadColorImage(name);
    if (!lookForAlpha)
        return colorImage;
    Image* alphaImage = FindAlphaByPrefix(name);
    if (alphaImage == nullptr)
        alphaImage = GetImage(name + "_", false);
    return MergeAlpha(colorImage, alphaImage);
}

Image* GetImageWithAlphaFile(const std::string& name, const std::string& alphaName)
{
    Image* colorImage = ReadColorImage(name);
    Image* alphaImage = GetImage(alphaName, false);
    if (alphaImage == nullptr)
        alphaImage = GetImage(name + "_", false);
    return MergeAlpha(colorImage, alphaImage);
}

} // namespace ImageLib

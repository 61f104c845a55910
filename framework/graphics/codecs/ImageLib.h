#pragma once

#include "framework/graphics/codecs/ImageLibImage.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Image files to 0xAARRGGBB pixel arrays and back. Files are read through the
// archive layer, so a name may lie in an archive or on disk; every reader
// gives a new image owned by the caller, or null, and closes its file.
namespace ImageLib {

// Larger pictures are refused before any pixel memory is taken.
constexpr int64_t kMaxPixels = int64_t(1) << 26;

// Picks the reader by extension (".tga", ".jpg", ".png", ".gif", ".j2k",
// ".jp2"; none given tries each in that order). With lookForAlpha, a separate
// alpha picture ("_" before the file part, else "_" after the name) sets the
// alpha of every pixel from its blue byte.
Image* GetImage(const std::string& name, bool lookForAlpha);
// As GetImage, with the alpha picture looked for under alphaName first.
Image* GetImageWithAlphaFile(const std::string& name, const std::string& alphaName);

Image* GetTGAImage(const std::string& fileName);
Image* GetJPEGImage(const std::string& fileName);
Image* GetPNGImage(const std::string& fileName);
Image* GetGIFImage(const std::string& fileName);
Image* GetJPEG2000Image(const std::string& fileName);

// Decodes a PNG into the top-left corner of a caller's buffer of
// bufferWidth x bufferHeight pixels; a bigger picture is logged and skipped.
void SubloadImagePNG(const std::string& name, uint32_t* pixels, int32_t bufferWidth, int32_t bufferHeight);
// A PNG held in memory; width and height receive its size when it decodes.
Image* DecodePNGBuffer(const uint8_t* data, size_t size, int32_t* width, int32_t* height);

// Both write to a temporary file that replaces fileName only when complete;
// a link by that name is replaced, never written through.
bool WritePNGImage(const std::string& fileName, const Image* image);
bool WriteJPEGImage(const std::string& fileName, const Image* image);

// The JPEG 2000 codec module, loaded by name for the whole run.
void LoadJ2KCodec();
void UnloadJ2KCodec();

} // namespace ImageLib

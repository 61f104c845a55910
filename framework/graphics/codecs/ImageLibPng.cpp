#include "framework/graphics/codecs/ImageLib.h"

#include "framework/core/AppLog.h"
#include "framework/resources/SharedPak.h"

#include <png.h>

#include <cstring>

// libpng reports errors by jumping back to the reader's recovery point, so
// the frames it jumps across hold no object with a destructor.
namespace ImageLib {

namespace {

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

// Where the rows go: a caller's buffer of a fixed size, or a new image.
struct PngTarget {
    uint32_t* buffer = nullptr;
    int32_t bufferWidth = 0;
    int32_t bufferHeight = 0;
    Image* image = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    bool tooBig = false;
};

void ReportError(png_structp png, png_const_charp message)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "[ERROR] PNG: %s", message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

void ReadFromPak(png_structp png, png_bytep data, png_size_t length)
{
    auto* file = static_cast<PakFileHandle*>(png_get_io_ptr(png));
    if (Lumo::PakRead(data, 1, int(length), file) != int(length))
        png_error(png, "Read Error");
}

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->position)
        png_error(png, "Read Error");
    std::memcpy(data, source->data + source->position, length);
    source->position += length;
}

void ReadRows(png_structp png, png_infop info, PngTarget* target)
{
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    png_set_expand(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    // Without these, 16-bit samples would fill twice the row and interlaced
    // files would come out scrambled.
    png_set_strip_16(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(width) * 4 || uint64_t(width) * height > uint64_t(kMaxPixels))
        png_error(png, "Unsupported layout");
    target->width = int32_t(width);
    target->height = int32_t(height);

    uint32_t* rows = target->buffer;
    size_t stride = size_t(target->bufferWidth);
    if (rows != nullptr) {
        if (int64_t(width) > target->bufferWidth || int64_t(height) > target->bufferHeight) {
            target->tooBig = true;
            return;
        }
    } else {
        target->image = new Image(int32_t(width), int32_t(height));
        rows = target->image->GetBits();
        stride = width;
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep row = reinterpret_cast<png_bytep>(rows + size_t(y) * stride);
            png_read_rows(png, &row, nullptr, 1);
        }
    }
    png_read_end(png, nullptr);
}

// False on any library error; a new image (when no buffer was given) is
// then freed again.
bool ReadPng(png_rw_ptr readFunction, void* io, PngTarget* target)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportError, IgnoreWarning);
    if (png == nullptr)
        return false;
    png_set_read_fn(png, io, readFunction);
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        delete target->image;
        target->image = nullptr;
        return false;
    }
    png_read_info(png, info);
    ReadRows(png, info, target);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

Image* GetPNGImage(const std::string& fileName)
{
    PakFileHandle* file = Lumo::PakOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return nullptr;
    PngTarget target;
    ReadPng(ReadFromPak, file, &target);
    Lumo::PakClose(file);
    return target.image;
}

void SubloadImagePNG(const std::string& name, uint32_t* pixels, int32_t bufferWidth, int32_t bufferHeight)
{
    PakFileHandle* file = Lumo::PakOpen(name.c_str(), "rb");
    if (file == nullptr)
        return;
    PngTarget target;
    target.buffer = pixels;
    target.bufferWidth = bufferWidth;
    target.bufferHeight = bufferHeight;
    ReadPng(ReadFromPak, file, &target);
    Lumo::PakClose(file);
    if (target.tooBig)
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "[ERROR] SubloadImagePNG - bigger size");
}

Image* DecodePNGBuffer(const uint8_t* data, size_t size, int32_t* width, int32_t* height)
{
    MemorySource source{data, size, 0};
    PngTarget target;
    if (!ReadPng(ReadFromMemory, &source, &target))
        return nullptr;
    *width = target.width;
    *height = target.height;
    return target.image;
}

} // namespace ImageLib

#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/codecs/JpegErrorManager.h"

#include "framework/core/AppLog.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>

// Both writers encode into memory and hand the bytes to the atomic writer,
// so a failure never leaves half a file and no link by the file's name is
// written through. The libraries jump back to the writer's recovery point on
// errors.
namespace ImageLib {

namespace {

constexpr int kJpegQuality = 80;

void ReportPngError(png_structp png, png_const_charp message)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "[ERROR] PNG: %s", message);
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

void AppendPngBytes(png_structp png, png_bytep bytes, png_size_t count)
{
    // No exception may cross the library's frames; its own error path may.
    bool stored = true;
    try {
        static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(bytes), count);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

bool EncodePng(std::string* out, const Image* image)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportPngError, IgnorePngWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendPngBytes, FlushNothing);
    png_color_8 significant{8, 8, 8, 8, 8};
    png_set_sBIT(png, info, &significant);
    png_set_bgr(png);
    png_set_IHDR(png, info, png_uint_32(image->Width()), png_uint_32(image->Height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const uint32_t* bits = image->GetBits();
    for (int32_t y = 0; y < image->Height(); ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(bits + size_t(y) * size_t(image->Width())));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

void WriteJpegRows(jpeg_compress_struct* info, const Image* image, JSAMPLE* row)
{
    const uint32_t* bits = image->GetBits();
    while (info->next_scanline < info->image_height) {
        const uint32_t* in = bits + size_t(info->next_scanline) * size_t(image->Width());
        for (int32_t x = 0; x < image->Width(); ++x) {
            row[x * 3] = JSAMPLE(in[x] >> 16);
            row[x * 3 + 1] = JSAMPLE(in[x] >> 8);
            row[x * 3 + 2] = JSAMPLE(in[x]);
        }
        jpeg_write_scanlines(info, &row, 1);
    }
}

// The library's output buffer, freed however the encoding ends.
struct JpegOutput {
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    ~JpegOutput() { std::free(bytes); }
};

bool EncodeJpeg(std::string* out, const Image* image, JSAMPLE* row)
{
    jpeg_compress_struct info;
    JpegErrorManager error;
    JpegOutput output;
    info.err = InstallJpegErrorManager(&error);
    if (setjmp(error.recovery)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    info.image_width = JDIMENSION(image->Width());
    info.image_height = JDIMENSION(image->Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_mem_dest(&info, &output.bytes, &output.size);
    jpeg_start_compress(&info, TRUE);
    WriteJpegRows(&info, image, row);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    out->assign(reinterpret_cast<const char*>(output.bytes), output.size);
    return true;
}

// Writes what encode made in place of fileName, never through a link there.
template <typename Encode>
bool WriteReplacing(const std::string& fileName, Encode encode)
{
    std::string bytes;
    if (!encode(&bytes))
        return false;
    std::string error;
    if (Platform::WriteFileAtomically(Platform::NativePath(fileName), bytes, &error, Platform::AtLink::kReplace))
        return true;
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "[ERROR] %s", error.c_str());
    return false;
}

} // namespace

bool WritePNGImage(const std::string& fileName, const Image* image)
{
    if (image == nullptr || image->Width() <= 0 || image->Height() <= 0)
        return false;
    return WriteReplacing(fileName, [image](std::string* out) { return EncodePng(out, image); });
}

bool WriteJPEGImage(const std::string& fileName, const Image* image)
{
    if (image == nullptr || image->Width() <= 0 || image->Height() <= 0)
        return false;
    std::vector<JSAMPLE> row(size_t(image->Width()) * 3);
    return WriteReplacing(fileName, [image, &row](std::string* out) { return EncodeJpeg(out, image, row.data()); });
}

} // namespace ImageLib

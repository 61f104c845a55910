#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/codecs/JpegErrorManager.h"

#include "framework/resources/SharedPak.h"

#include <bit>
#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports errors by jumping back to the reader's recovery point, so
// the frames it jumps across hold no object with a destructor.
namespace ImageLib {

namespace {

// Large reads keep the archive layer's per-call cost out of the decode.
constexpr int kInputBufferSize = 65536;

struct PakSource {
    jpeg_source_mgr pub;
    PakFileHandle* file;
    bool startOfFile;
    JOCTET* buffer;
};

void InitSource(j_decompress_ptr info)
{
    reinterpret_cast<PakSource*>(info->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<PakSource*>(info->src);
    int count = Lumo::PakRead(source->buffer, 1, kInputBufferSize, source->file);
    if (count <= 0) {
        if (source->startOfFile)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = JOCTET(0xFF);
        source->buffer[1] = JOCTET(JPEG_EOI);
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = size_t(count);
    source->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    auto* source = reinterpret_cast<PakSource*>(info->src);
    if (count <= 0)
        return;
    while (count > long(source->pub.bytes_in_buffer)) {
        count -= long(source->pub.bytes_in_buffer);
        FillInputBuffer(info);
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

// The library writes the image's own layout: 0xAARRGGBB words are blue,
// green, red, alpha in memory on a little-endian machine.
constexpr J_COLOR_SPACE kWordLayout = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

void DecodeRows(jpeg_decompress_struct* info, Image** result)
{
    jpeg_read_header(info, TRUE);
    if (info->num_components != 1 && info->num_components != 3)
        ERREXIT(info, JERR_CONVERSION_NOTIMPL);
    info->out_color_space = kWordLayout;
    jpeg_calc_output_dimensions(info);
    if (int64_t(info->output_width) * info->output_height > kMaxPixels)
        ERREXIT(info, JERR_CONVERSION_NOTIMPL);
    jpeg_start_decompress(info);
    // Every scanline is read below, a short file's missing end included.
    *result = new Image(int32_t(info->output_width), int32_t(info->output_height), Image::Unset{});
    auto* rows = static_cast<JSAMPROW*>((*info->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, sizeof(JSAMPROW) * info->output_height));
    uint32_t* bits = (*result)->GetBits();
    for (JDIMENSION y = 0; y < info->output_height; ++y)
        rows[y] = reinterpret_cast<JSAMPROW>(bits + size_t(y) * info->output_width);
    while (info->output_scanline < info->output_height)
        jpeg_read_scanlines(info, rows + info->output_scanline, info->output_height - info->output_scanline);
    jpeg_finish_decompress(info);
}

bool DecodeJpeg(PakFileHandle* file, Image** result)
{
    jpeg_decompress_struct info;
    JpegErrorManager error;
    PakSource source;
    info.err = InstallJpegErrorManager(&error);
    if (setjmp(error.recovery)) {
        jpeg_destroy_decompress(&info);
        delete *result;
        *result = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    source.file = file;
    source.startOfFile = true;
    source.buffer = static_cast<JOCTET*>((*info.mem->alloc_large)(reinterpret_cast<j_common_ptr>(&info),
                                                                   JPOOL_PERMANENT, kInputBufferSize));
    source.pub.init_source = InitSource;
    source.pub.fill_input_buffer = FillInputBuffer;
    source.pub.skip_input_data = SkipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = TermSource;
    source.pub.bytes_in_buffer = 0;
    source.pub.next_input_byte = nullptr;
    info.src = &source.pub;
    DecodeRows(&info, result);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

Image* GetJPEGImage(const std::string& fileName)
{
    PakFileHandle* file = Lumo::PakOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return nullptr;
    Image* result = nullptr;
    DecodeJpeg(file, &result);
    Lumo::PakClose(file);
    return result;
}

} // namespace ImageLib

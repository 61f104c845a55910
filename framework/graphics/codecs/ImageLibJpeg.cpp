#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/codecs/JpegErrorManager.h"

#include "framework/resources/SharedPak.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports errors by jumping back to the reader's recovery point, so
// the frames it jumps across hold no object with a destructor.
namespace ImageLib {

namespace {

constexpr int kInputBufferSize = 4096;

struct PakSource {
    jpeg_source_mgr pub;
    PakFileHandle* file;
    bool startOfFile;
    JOCTET buffer[kInputBufferSize];
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

void DecodeRows(jpeg_decompress_struct* info, Image** result)
{
    jpeg_read_header(info, TRUE);
    if (info->num_components != 1)
        info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    const int components = info->output_components;
    if ((components != 1 && components != 3) ||
        int64_t(info->output_width) * info->output_height > kMaxPixels)
        ERREXIT(info, JERR_CONVERSION_NOTIMPL);
    *result = new Image(int32_t(info->output_width), int32_t(info->output_height));
    JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                info->output_width * JDIMENSION(components), 1);
    uint32_t* out = (*result)->GetBits();
    while (info->output_scanline < info->output_height) {
        jpeg_read_scanlines(info, row, 1);
        const JSAMPLE* sample = row[0];
        for (JDIMENSION x = 0; x < info->output_width; ++x) {
            if (components == 1) {
                *out++ = 0xFF000000u + uint32_t(sample[0]) * 65793u;
                ++sample;
            } else {
                *out++ = 0xFF000000u | (uint32_t(sample[0]) << 16) | (uint32_t(sample[1]) << 8) | sample[2];
                sample += 3;
            }
        }
    }
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

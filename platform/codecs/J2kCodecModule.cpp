#include "platform/codecs/J2kCodecModule.h"

#include "platform/storage/Files.h"
#include "platform/codecs/J2kCodecApi.h"
#include "platform/process/Modules.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace Platform {

namespace {

constexpr size_t kMaxFileSize = size_t(256) << 20;
constexpr int32_t kReadChunk = 65536;

thread_local int32_t tLastError = J2K_ERROR_NONE;

int32_t Fail(int32_t code)
{
    tLastError = code;
    return code;
}

// One opened picture: the whole file in memory, decoded on demand.
struct J2kHandle {
    std::vector<uint8_t> data;
    size_t position = 0;
    OPJ_CODEC_FORMAT format = OPJ_CODEC_J2K;
    opj_codec_t* codec = nullptr;
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr;
    bool decoded = false;

    ~J2kHandle() { Reset(); }

    void Reset()
    {
        if (image != nullptr)
            opj_image_destroy(image);
        if (stream != nullptr)
            opj_stream_destroy(stream);
        if (codec != nullptr)
            opj_destroy_codec(codec);
        image = nullptr;
        stream = nullptr;
        codec = nullptr;
        decoded = false;
        position = 0;
    }
};

void Quiet(const char*, void*) {}

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T size, void* userData)
{
    auto* handle = static_cast<J2kHandle*>(userData);
    const size_t left = handle->data.size() - handle->position;
    if (left == 0)
        return OPJ_SIZE_T(-1);
    const size_t count = std::min(size_t(size), left);
    std::memcpy(buffer, handle->data.data() + handle->position, count);
    handle->position += count;
    return count;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T count, void* userData)
{
    auto* handle = static_cast<J2kHandle*>(userData);
    const OPJ_OFF_T target =
        std::clamp<OPJ_OFF_T>(OPJ_OFF_T(handle->position) + count, 0, OPJ_OFF_T(handle->data.size()));
    const OPJ_OFF_T moved = target - OPJ_OFF_T(handle->position);
    handle->position = size_t(target);
    return moved;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void* userData)
{
    auto* handle = static_cast<J2kHandle*>(userData);
    if (offset < 0 || size_t(offset) > handle->data.size())
        return OPJ_FALSE;
    handle->position = size_t(offset);
    return OPJ_TRUE;
}

// A fresh codec and stream with the header read; false for data OpenJPEG
// does not take.
bool Begin(J2kHandle* handle)
{
    handle->Reset();
    handle->codec = opj_create_decompress(handle->format);
    if (handle->codec == nullptr)
        return false;
    opj_set_error_handler(handle->codec, Quiet, nullptr);
    opj_set_warning_handler(handle->codec, Quiet, nullptr);
    opj_set_info_handler(handle->codec, Quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(handle->codec, &parameters))
        return false;
    handle->stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    if (handle->stream == nullptr)
        return false;
    opj_stream_set_user_data(handle->stream, handle, nullptr);
    opj_stream_set_user_data_length(handle->stream, handle->data.size());
    opj_stream_set_read_function(handle->stream, StreamRead);
    opj_stream_set_skip_function(handle->stream, StreamSkip);
    opj_stream_set_seek_function(handle->stream, StreamSeek);
    return opj_read_header(handle->stream, handle->codec, &handle->image) != 0 && handle->image != nullptr &&
           handle->image->numcomps > 0 && handle->image->x1 > handle->image->x0 &&
           handle->image->y1 > handle->image->y0;
}

void* OpenData(std::vector<uint8_t> data)
{
    static const uint8_t kJp2Signature[] = {0, 0, 0, 12, 'j', 'P', ' ', ' '};
    auto* handle = new J2kHandle;
    handle->data = std::move(data);
    const bool isJp2 = handle->data.size() >= sizeof kJp2Signature &&
                       std::memcmp(handle->data.data(), kJp2Signature, sizeof kJp2Signature) == 0;
    handle->format = isJp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K;
    if (!Begin(handle)) {
        delete handle;
        Fail(J2K_ERROR_FORMAT);
        return nullptr;
    }
    tLastError = J2K_ERROR_NONE;
    return handle;
}

int32_t GetVersion() { return kJ2kVersion; }

void* OpenCustom(void* userData, const J2K_Callbacks* callbacks)
{
    if (callbacks == nullptr || callbacks->seek == nullptr || callbacks->read == nullptr) {
        Fail(J2K_ERROR_ARGUMENT);
        return nullptr;
    }
    std::vector<uint8_t> data;
    if (!callbacks->seek(userData, 0)) {
        Fail(J2K_ERROR_READ);
        return nullptr;
    }
    for (;;) {
        const size_t used = data.size();
        data.resize(used + kReadChunk);
        const int32_t count = callbacks->read(data.data() + used, kReadChunk, userData);
        data.resize(used + size_t(std::clamp(count, 0, kReadChunk)));
        if (count <= 0)
            break;
        if (data.size() > kMaxFileSize) {
            Fail(J2K_ERROR_READ);
            return nullptr;
        }
    }
    if (callbacks->close != nullptr)
        callbacks->close(userData);
    return OpenData(std::move(data));
}

void* OpenFileByName(const char* fileName)
{
    FILE* file = fileName != nullptr ? OpenFile(fileName, "rb") : nullptr;
    if (file == nullptr) {
        Fail(J2K_ERROR_READ);
        return nullptr;
    }
    std::vector<uint8_t> data;
    uint8_t chunk[kReadChunk];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0 && data.size() <= kMaxFileSize)
        data.insert(data.end(), chunk, chunk + count);
    std::fclose(file);
    if (data.size() > kMaxFileSize) {
        Fail(J2K_ERROR_READ);
        return nullptr;
    }
    return OpenData(std::move(data));
}

void Close(void* handle) { delete static_cast<J2kHandle*>(handle); }

int32_t FullWidth(const opj_image_t* image) { return int32_t(image->x1 - image->x0); }
int32_t FullHeight(const opj_image_t* image) { return int32_t(image->y1 - image->y0); }

int32_t AtLevel(int32_t size, int32_t level) { return int32_t((int64_t(size) + (int64_t(1) << level) - 1) >> level); }

int32_t GetInfo(void* handle, int32_t* width, int32_t* height, int32_t* components)
{
    auto* picture = static_cast<J2kHandle*>(handle);
    if (picture == nullptr || picture->image == nullptr || width == nullptr || height == nullptr ||
        components == nullptr)
        return Fail(J2K_ERROR_ARGUMENT);
    *width = FullWidth(picture->image);
    *height = FullHeight(picture->image);
    *components = int32_t(picture->image->numcomps);
    return J2K_ERROR_NONE;
}

int32_t GetResolutionDimensions(void* handle, int32_t level, int32_t* width, int32_t* height)
{
    auto* picture = static_cast<J2kHandle*>(handle);
    if (picture == nullptr || picture->image == nullptr || width == nullptr || height == nullptr || level < 0 ||
        level > 31)
        return Fail(J2K_ERROR_ARGUMENT);
    *width = AtLevel(FullWidth(picture->image), level);
    *height = AtLevel(FullHeight(picture->image), level);
    return J2K_ERROR_NONE;
}

// "bpp=4,rl=0": the bytes per pixel (only 4) and the resolution level.
bool ParseOptions(const char* options, int32_t* level)
{
    *level = 0;
    if (options == nullptr)
        return true;
    std::string text(options);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(start, end - start);
        if (item == "bpp=4") {
        } else if (item.rfind("rl=", 0) == 0 && item.size() > 3 && item.size() < 6 &&
                   item.find_first_not_of("0123456789", 3) == std::string::npos) {
            *level = std::atoi(item.c_str() + 3);
        } else if (!item.empty()) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

uint8_t ToByte(const opj_image_comp_t& component, int32_t value)
{
    if (component.sgnd && component.prec > 0)
        value += int32_t(1) << (std::min<OPJ_UINT32>(component.prec, 31) - 1);
    const OPJ_UINT32 precision = std::clamp<OPJ_UINT32>(component.prec, 1, 31);
    int64_t scaled = value;
    if (precision > 8)
        scaled >>= (precision - 8);
    else if (precision < 8)
        scaled = scaled * 255 / ((int64_t(1) << precision) - 1);
    return uint8_t(std::clamp<int64_t>(scaled, 0, 255));
}

uint8_t Sample(const opj_image_comp_t& component, int32_t x, int32_t y)
{
    if (component.data == nullptr || component.w == 0 || component.h == 0)
        return 0;
    const OPJ_UINT32 dx = std::max<OPJ_UINT32>(component.dx, 1);
    const OPJ_UINT32 dy = std::max<OPJ_UINT32>(component.dy, 1);
    const OPJ_UINT32 cx = std::min<OPJ_UINT32>(OPJ_UINT32(x) / dx, component.w - 1);
    const OPJ_UINT32 cy = std::min<OPJ_UINT32>(OPJ_UINT32(y) / dy, component.h - 1);
    return ToByte(component, component.data[size_t(cy) * component.w + cx]);
}

int32_t Decode(void* handle, uint8_t* buffer, int32_t size, const char* options, int32_t pitch)
{
    auto* picture = static_cast<J2kHandle*>(handle);
    int32_t level = 0;
    if (picture == nullptr || buffer == nullptr)
        return Fail(J2K_ERROR_ARGUMENT);
    if (!ParseOptions(options, &level))
        return Fail(J2K_ERROR_OPTION);
    if (picture->decoded && !Begin(picture))
        return Fail(J2K_ERROR_FORMAT);
    const int32_t width = AtLevel(FullWidth(picture->image), level);
    const int32_t height = AtLevel(FullHeight(picture->image), level);
    if (pitch < int64_t(width) * 4 || size < int64_t(pitch) * (height - 1) + int64_t(width) * 4)
        return Fail(J2K_ERROR_BUFFER);
    picture->decoded = true;
    if ((level > 0 && !opj_set_decoded_resolution_factor(picture->codec, OPJ_UINT32(level))) ||
        !opj_decode(picture->codec, picture->stream, picture->image) ||
        !opj_end_decompress(picture->codec, picture->stream))
        return Fail(J2K_ERROR_DECODE);

    const opj_image_t* image = picture->image;
    const bool color = image->numcomps >= 3;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* out = buffer + size_t(y) * size_t(pitch);
        for (int32_t x = 0; x < width; ++x, out += 4) {
            const uint8_t red = Sample(image->comps[0], x, y);
            out[0] = color ? Sample(image->comps[2], x, y) : red;
            out[1] = color ? Sample(image->comps[1], x, y) : red;
            out[2] = red;
            out[3] = 0xFF;
        }
    }
    tLastError = J2K_ERROR_NONE;
    return J2K_ERROR_NONE;
}

int32_t GetLastError() { return tLastError; }

const char* GetErrorStr(int32_t code)
{
    switch (code) {
    case J2K_ERROR_NONE: return "No error";
    case J2K_ERROR_ARGUMENT: return "Invalid argument";
    case J2K_ERROR_READ: return "Cannot read the stream";
    case J2K_ERROR_FORMAT: return "Not a JPEG 2000 file";
    case J2K_ERROR_DECODE: return "Decoding failed";
    case J2K_ERROR_BUFFER: return "Buffer too small";
    case J2K_ERROR_OPTION: return "Unknown option";
    default: return "Unknown error";
    }
}

template <typename Function>
FARPROC Entry(Function function)
{
    return reinterpret_cast<FARPROC>(function);
}

} // namespace

void RegisterJ2kCodecModule()
{
    RegisterModule("j2k-codec.dll", {
                                        {"_J2K_getVersion@0", Entry<J2K_getVersion>(GetVersion)},
                                        {"_J2K_OpenCustom@8", Entry<J2K_OpenCustom>(OpenCustom)},
                                        {"_J2K_OpenFile@4", Entry<J2K_OpenFile>(OpenFileByName)},
                                        {"_J2K_Close@4", Entry<J2K_Close>(Close)},
                                        {"_J2K_GetInfo@16", Entry<J2K_GetInfo>(GetInfo)},
                                        {"_J2K_GetResolutionDimensions@16",
                                         Entry<J2K_GetResolutionDimensions>(GetResolutionDimensions)},
                                        {"_J2K_Decode@20", Entry<J2K_Decode>(Decode)},
                                        {"_J2K_getLastError@0", Entry<J2K_getLastError>(GetLastError)},
                                        {"_J2K_getErrorStr@4", Entry<J2K_getErrorStr>(GetErrorStr)},
                                    });
}

} // namespace Platform

#pragma once

#include <cstddef>
#include <cstdint>

// The Ogg Vorbis file decoder in its vorbisfile shape, for readers outside
// the platform layer. Samples come out as 16-bit little-endian PCM.
namespace Platform {

struct VorbisFile;

struct VorbisCallbacks {
    size_t (*read)(void* destination, size_t size, size_t count, void* source) = nullptr;
    // 0 on success, -1 when the source cannot seek.
    int (*seek)(void* source, int64_t offset, int origin) = nullptr;
    int (*close)(void* source) = nullptr;
    long (*tell)(void* source) = nullptr;
};

struct VorbisInfo {
    int channels = 0;
    long rate = 0;
};

// Negative on failure, when *file stays null and the source is not closed.
int ov_open_callbacks(void* source, VorbisFile** file, const char* initial, long initialBytes,
                      VorbisCallbacks callbacks);
// The format of a link (-1: the current one).
VorbisInfo ov_info(VorbisFile* file, int link);
// Frames of a link (-1: the whole stream), negative when unknown.
int64_t ov_pcm_total(VorbisFile* file, int link);
// Bytes written, 0 at the end, negative on an error.
long ov_read(VorbisFile* file, char* buffer, int length, int* link);
// Closes the source through its callback and frees the file.
int ov_clear(VorbisFile* file);

} // namespace Platform

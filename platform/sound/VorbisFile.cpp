#include "platform/sound/VorbisFile.h"

#include <tremor/ivorbisfile.h>

namespace Platform {

struct VorbisFile {
    OggVorbis_File decoder;
    void* source;
    VorbisCallbacks callbacks;
};

namespace {

size_t Read(void* destination, size_t size, size_t count, void* file)
{
    auto* vorbis = static_cast<VorbisFile*>(file);
    return vorbis->callbacks.read(destination, size, count, vorbis->source);
}

int Seek(void* file, ogg_int64_t offset, int origin)
{
    auto* vorbis = static_cast<VorbisFile*>(file);
    return vorbis->callbacks.seek ? vorbis->callbacks.seek(vorbis->source, offset, origin) : -1;
}

int Close(void* file)
{
    auto* vorbis = static_cast<VorbisFile*>(file);
    return vorbis->callbacks.close ? vorbis->callbacks.close(vorbis->source) : 0;
}

long Tell(void* file)
{
    auto* vorbis = static_cast<VorbisFile*>(file);
    return vorbis->callbacks.tell ? vorbis->callbacks.tell(vorbis->source) : -1;
}

} // namespace

int ov_open_callbacks(void* source, VorbisFile** file, const char* initial, long initialBytes,
                      VorbisCallbacks callbacks)
{
    *file = nullptr;
    if (!callbacks.read)
        return OV_EFAULT;
    auto* vorbis = new VorbisFile{};
    vorbis->source = source;
    vorbis->callbacks = callbacks;
    int result = ::ov_open_callbacks(vorbis, &vorbis->decoder, initial, initialBytes,
                                     ::ov_callbacks{Read, callbacks.seek ? Seek : nullptr, Close, Tell});
    if (result < 0) {
        // On failure the decoder leaves the source open for the caller.
        delete vorbis;
        return result;
    }
    *file = vorbis;
    return result;
}

VorbisInfo ov_info(VorbisFile* file, int link)
{
    vorbis_info* info = ::ov_info(&file->decoder, link);
    return info ? VorbisInfo{info->channels, info->rate} : VorbisInfo{};
}

int64_t ov_pcm_total(VorbisFile* file, int link) { return ::ov_pcm_total(&file->decoder, link); }

long ov_read(VorbisFile* file, char* buffer, int length, int* link)
{
    return ::ov_read(&file->decoder, buffer, length, link);
}

int ov_clear(VorbisFile* file)
{
    int result = ::ov_clear(&file->decoder);
    delete file;
    return result;
}

} // namespace Platform

#include "platform/sound/StreamDecoder.h"

#include "platform/sound/WavReader.h"

#include <mpg123.h>
#include <tremor/ivorbisfile.h>

#include <cstring>
#include <mutex>

namespace Platform {

namespace {

// Streams are held decoded; longer ones are refused rather than eating memory.
constexpr size_t kMaxDecodedBytes = 256u << 20;

struct MemoryFile {
    const std::vector<uint8_t>* bytes;
    size_t position = 0;
};

size_t ReadMemory(void* destination, size_t size, size_t count, void* source)
{
    auto* file = static_cast<MemoryFile*>(source);
    if (size == 0)
        return 0;
    size_t items = (file->bytes->size() - file->position) / size;
    if (items > count)
        items = count;
    std::memcpy(destination, file->bytes->data() + file->position, items * size);
    file->position += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int origin)
{
    auto* file = static_cast<MemoryFile*>(source);
    ogg_int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? ogg_int64_t(file->position)
                                                                   : ogg_int64_t(file->bytes->size());
    ogg_int64_t target = base + offset;
    if (target < 0 || target > ogg_int64_t(file->bytes->size()))
        return -1;
    file->position = size_t(target);
    return 0;
}

long TellMemory(void* source) { return long(static_cast<MemoryFile*>(source)->position); }

std::shared_ptr<PcmData> MakePcm16(uint16_t channels, uint32_t rate)
{
    if ((channels != 1 && channels != 2) || rate < 100 || rate > 200000)
        return nullptr;
    auto data = std::make_shared<PcmData>();
    data->format.wFormatTag = WAVE_FORMAT_PCM;
    data->format.nChannels = channels;
    data->format.nSamplesPerSec = rate;
    data->format.wBitsPerSample = 16;
    data->format.nBlockAlign = uint16_t(channels * 2);
    data->format.nAvgBytesPerSec = data->format.nBlockAlign * rate;
    return data;
}

bool Append(PcmData& data, const uint8_t* bytes, size_t count)
{
    if (data.bytes.size() + count > kMaxDecodedBytes)
        return false;
    data.bytes.insert(data.bytes.end(), bytes, bytes + count);
    return true;
}

} // namespace

std::shared_ptr<PcmData> StreamDecoder::Decode(const std::vector<uint8_t>& file)
{
    if (file.size() >= 4 && std::memcmp(file.data(), "RIFF", 4) == 0)
        return WavReader::Read(file);
    if (file.size() >= 4 && std::memcmp(file.data(), "OggS", 4) == 0)
        return DecodeOgg(file);
    return DecodeMp3(file);
}

std::shared_ptr<PcmData> StreamDecoder::DecodeOgg(const std::vector<uint8_t>& file)
{
    MemoryFile source{&file};
    OggVorbis_File vorbis;
    ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    if (ov_open_callbacks(&source, &vorbis, nullptr, 0, callbacks) < 0)
        return nullptr;
    vorbis_info* info = ov_info(&vorbis, -1);
    std::shared_ptr<PcmData> data = info ? MakePcm16(uint16_t(info->channels), uint32_t(info->rate)) : nullptr;
    char block[4096];
    while (data) {
        int section = 0;
        long got = ov_read(&vorbis, block, sizeof(block), &section);
        if (got == 0)
            break;
        if (got < 0 || !Append(*data, reinterpret_cast<uint8_t*>(block), size_t(got)))
            data = nullptr;
    }
    ov_clear(&vorbis);
    if (data)
        data->bytes.resize(data->bytes.size() - data->bytes.size() % data->format.nBlockAlign);
    return data;
}

std::shared_ptr<PcmData> StreamDecoder::DecodeMp3(const std::vector<uint8_t>& file)
{
    static std::once_flag initOnce;
    std::call_once(initOnce, [] { mpg123_init(); });
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    if (!decoder)
        return nullptr;
    std::shared_ptr<PcmData> data;
    bool failed = false;
    mpg123_format_none(decoder);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(decoder) != MPG123_OK || mpg123_feed(decoder, file.data(), file.size()) != MPG123_OK)
        failed = true;
    unsigned char block[8192];
    while (!failed) {
        size_t done = 0;
        int result = mpg123_read(decoder, block, sizeof(block), &done);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(decoder, &rate, &channels, &encoding);
            // Only the first format counts: the whole stream plays in it.
            if (!data && !(data = MakePcm16(uint16_t(channels), uint32_t(rate))))
                failed = true;
            continue;
        }
        if (done > 0 && (!data || !Append(*data, block, done)))
            failed = true;
        if (result == MPG123_NEED_MORE || result == MPG123_DONE)
            break;
        if (result != MPG123_OK)
            failed = true;
    }
    mpg123_delete(decoder);
    if (failed || !data || data->bytes.empty())
        return nullptr;
    data->bytes.resize(data->bytes.size() - data->bytes.size() % data->format.nBlockAlign);
    return data;
}

} // namespace Platform

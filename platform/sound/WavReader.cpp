#include "platform/sound/WavReader.h"

#include <cstring>

namespace Platform {

namespace {

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

} // namespace

std::shared_ptr<PcmData> WavReader::Read(const std::vector<uint8_t>& file)
{
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        return nullptr;
    auto data = std::make_shared<PcmData>();
    bool haveFormat = false;
    size_t at = 12;
    while (file.size() - at >= 8) {
        const uint8_t* chunk = file.data() + at;
        uint32_t size = U32(chunk + 4);
        size_t body = at + 8;
        size_t available = file.size() - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || available < 16)
                return nullptr;
            const uint8_t* f = file.data() + body;
            WAVEFORMATEX& format = data->format;
            format.wFormatTag = U16(f);
            format.nChannels = U16(f + 2);
            format.nSamplesPerSec = U32(f + 4);
            format.wBitsPerSample = U16(f + 14);
            if (format.wFormatTag != WAVE_FORMAT_PCM || (format.nChannels != 1 && format.nChannels != 2) ||
                (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) || format.nSamplesPerSec < 100 ||
                format.nSamplesPerSec > 200000)
                return nullptr;
            format.nBlockAlign = uint16_t(format.nChannels * format.wBitsPerSample / 8);
            format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return nullptr;
            // A data chunk cut short by the end of the file keeps the frames that are there.
            size_t bytes = size < available ? size : available;
            bytes -= bytes % data->format.nBlockAlign;
            data->bytes.assign(file.begin() + long(body), file.begin() + long(body + bytes));
            return data;
        }
        if (size > available)
            return nullptr;
        at = body + size + (size & 1);
    }
    return nullptr;
}

} // namespace Platform

#include "framework/audio/SoundManager.h"

#include "framework/core/AppLog.h"
#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/SharedPak.h"
#include "platform/storage/AtomicFile.h"

#include <cstring>
#include <string>
#include <vector>

namespace Lumo {

using namespace Platform;

namespace {

constexpr uint32_t kStaticBufferFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY |
                                        DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
constexpr size_t kMaxDependencyName = 255;

bool ReadExact(void* destination, int32_t bytes, PakFileHandle* file)
{
    return PakRead(destination, bytes, 1, file) == 1;
}

// Bytes from the current position to the end of the file, -1 when unknown.
long RemainingBytes(PakFileHandle* file)
{
    long position = PakTell(file);
    if (PakSeek(file, 0, SEEK_END) != 0)
        return -1;
    long end = PakTell(file);
    if (PakSeek(file, position, SEEK_SET) != 0)
        return -1;
    return end - position;
}

size_t ReadVorbis(void* destination, size_t size, size_t count, void* file)
{
    int read = PakRead(destination, int(size), int(count), static_cast<PakFileHandle*>(file));
    return read > 0 ? size_t(read) : 0;
}

int CloseVorbis(void* file) { return PakClose(static_cast<PakFileHandle*>(file)); }

long TellVorbis(void* file) { return PakTell(static_cast<PakFileHandle*>(file)); }

void WriteU16(std::string& out, uint16_t value)
{
    out.push_back(char(value));
    out.push_back(char(value >> 8));
}

void WriteU32(std::string& out, uint32_t value)
{
    WriteU16(out, uint16_t(value));
    WriteU16(out, uint16_t(value >> 16));
}

void Scramble(void* bytes, uint32_t count, uint8_t key)
{
    auto* data = static_cast<uint8_t*>(bytes);
    for (uint32_t i = 0; i < count; ++i)
        data[i] ^= key;
}

} // namespace

bool SoundManager::LoadSound(uint32_t id, const std::string& name)
{
    if (id >= kMaxSounds)
        return false;
    ReleaseSound(id);
    if (!mDirectSound)
        return true;
    std::string cachePath;
    if (name.size() > 2 && name[0] != '\\' && name[0] != '/' && name[1] != ':') {
        cachePath = GetUserDataFolder() + "cached\\" + name + ".wav";
        if (LoadWav(id, cachePath))
            return true;
        CreateDirectoryPath(PathDirectoryPart(cachePath));
    }
    if (LoadWav(id, name + ".wav"))
        return true;
    if (!LoadOgg(id, name + ".ogg"))
        return false;
    WriteCachedWav(id, name + ".ogg", cachePath);
    return true;
}

bool SoundManager::CreateStaticBuffer(uint32_t id, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t bytes)
{
    ReleaseSound(id);
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = uint16_t(channels * bits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * rate;
    DSBUFFERDESC desc;
    desc.dwFlags = kStaticBufferFlags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &format;
    if (mDirectSound->CreateSoundBuffer(&desc, &mSoundBuffers[id], nullptr) != DS_OK) {
        mSoundBuffers[id] = nullptr;
        return false;
    }
    mDataSizes[id] = bytes;
    return true;
}

bool SoundManager::LoadWav(uint32_t id, const std::string& file)
{
    PakFileHandle* handle = PakOpen(file.c_str(), "rb");
    if (!handle)
        return false;
    // A file that fails part-way leaves no half-filled sound behind.
    auto fail = [&] {
        PakClose(handle);
        ReleaseSound(id);
        return false;
    };
    char tag[4];
    uint32_t riffSize = 0;
    if (!ReadExact(tag, 4, handle) || std::memcmp(tag, "RIFF", 4) != 0 || !ReadExact(&riffSize, 4, handle) ||
        !ReadExact(tag, 4, handle) || std::memcmp(tag, "WAVE", 4) != 0)
        return fail();
    uint16_t channels = 1;
    uint16_t bits = 16;
    uint32_t rate = 22050;
    uint8_t key = 0;
    uint32_t chunkSize = 0;
    for (;;) {
        if (PakAtEnd(handle) || !ReadExact(tag, 4, handle) || !ReadExact(&chunkSize, 4, handle))
            return fail();
        long next = PakTell(handle) + long(chunkSize);
        if (std::memcmp(tag, "fmt ", 4) == 0) {
            uint16_t formatTag = 0;
            uint32_t bytesPerSecond = 0;
            uint16_t blockAlign = 0;
            if (!ReadExact(&formatTag, 2, handle) || !ReadExact(&channels, 2, handle) ||
                !ReadExact(&rate, 4, handle) || !ReadExact(&bytesPerSecond, 4, handle) ||
                !ReadExact(&blockAlign, 2, handle) || !ReadExact(&bits, 2, handle) || formatTag != WAVE_FORMAT_PCM)
                return fail();
        } else if (std::memcmp(tag, "dep ", 4) == 0) {
            uint16_t length = 0;
            char name[kMaxDependencyName];
            FILETIME stored;
            if (!ReadExact(&length, 2, handle))
                return fail();
            size_t kept = length < kMaxDependencyName ? length : kMaxDependencyName;
            if ((kept > 0 && !ReadExact(name, int32_t(kept), handle)) ||
                !ReadExact(&stored.dwLowDateTime, 4, handle) || !ReadExact(&stored.dwHighDateTime, 4, handle))
                return fail();
            FILETIME current;
            GetFileWriteTime(std::string(name, kept), &current);
            if (current.dwLowDateTime != stored.dwLowDateTime || current.dwHighDateTime != stored.dwHighDateTime)
                return fail();
        } else if (std::memcmp(tag, "xor ", 4) == 0) {
            if (!ReadExact(&key, 1, handle))
                return fail();
        } else if (std::memcmp(tag, "data", 4) == 0) {
            break;
        }
        if (PakSeek(handle, next, SEEK_SET) != 0)
            return fail();
    }
    // A data chunk longer than the file is cut short: refuse it before making a buffer.
    long remaining = RemainingBytes(handle);
    if (remaining < 0 || uint64_t(chunkSize) > uint64_t(remaining))
        return fail();
    if (!CreateStaticBuffer(id, channels, rate, bits, chunkSize))
        return fail();
    void* data = nullptr;
    uint32_t locked = 0;
    if (mSoundBuffers[id]->Lock(0, chunkSize, &data, &locked, nullptr, nullptr, 0) != DS_OK)
        return fail();
    int read = PakRead(data, 1, int(locked), handle);
    PakClose(handle);
    Scramble(data, locked, key);
    bool unlocked = mSoundBuffers[id]->Unlock(data, locked, nullptr, 0) == DS_OK;
    if (!unlocked || read != int(chunkSize)) {
        ReleaseSound(id);
        return false;
    }
    return true;
}

int SoundManager::OggSeekCallback(void* file, int64_t offset, int origin)
{
    if (!file)
        return -1;
    return PakSeek(static_cast<PakFileHandle*>(file), long(int32_t(uint32_t(offset))), origin);
}

int SoundManager::OpenOgg(PakFileHandle* file, VorbisFile** vorbis)
{
    VorbisCallbacks callbacks;
    callbacks.read = ReadVorbis;
    callbacks.seek = OggSeekCallback;
    callbacks.close = CloseVorbis;
    callbacks.tell = TellVorbis;
    return ov_open_callbacks(file, vorbis, nullptr, 0, callbacks);
}

bool SoundManager::LoadOgg(uint32_t id, const std::string& file)
{
    PakFileHandle* handle = PakOpen(file.c_str(), "rb");
    if (!handle)
        return false;
    VorbisFile* vorbis = nullptr;
    if (OpenOgg(handle, &vorbis) < 0) {
        PakClose(handle);
        return false;
    }
    auto fail = [&] {
        ov_clear(vorbis);
        ReleaseSound(id);
        return false;
    };
    VorbisInfo info = ov_info(vorbis, -1);
    uint16_t blockAlign = uint16_t(info.channels * 2);
    int64_t frames = ov_pcm_total(vorbis, -1);
    // An unknown length, or one beyond what a buffer holds, is refused.
    if (frames <= 0 || blockAlign == 0 || uint64_t(frames) * blockAlign > DSBSIZE_MAX)
        return fail();
    uint32_t size = uint32_t(frames) * blockAlign;
    if (!CreateStaticBuffer(id, uint16_t(info.channels), uint32_t(info.rate), 16, size))
        return fail();
    void* data = nullptr;
    uint32_t locked = 0;
    if (mSoundBuffers[id]->Lock(0, size, &data, &locked, nullptr, nullptr, 0) != DS_OK)
        return fail();
    char* at = static_cast<char*>(data);
    int64_t remaining = locked;
    while (remaining > 0) {
        int link = 0;
        long got = ov_read(vorbis, at, int(remaining), &link);
        if (got <= 0)
            break;
        at += got;
        remaining -= got;
    }
    mSoundBuffers[id]->Unlock(data, locked, nullptr, 0);
    ov_clear(vorbis);
    if (remaining != 0) {
        ReleaseSound(id);
        return false;
    }
    return true;
}

bool SoundManager::GetFileWriteTime(const std::string& name, FILETIME* time)
{
    *time = FILETIME{};
    // A name with wildcards would list other files.
    if (name.empty() || name.find_first_of("*?") != std::string::npos)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(name.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    *time = found.ftLastWriteTime;
    return true;
}

bool SoundManager::WriteCachedWav(uint32_t id, const std::string& source, const std::string& cachePath)
{
    if (cachePath.empty() || id >= kMaxSounds || !mSoundBuffers[id])
        return false;
    IDirectSoundBuffer* buffer = mSoundBuffers[id];
    uint32_t size = mDataSizes[id];
    void* data = nullptr;
    uint32_t locked = 0;
    if (buffer->Lock(0, size, &data, &locked, nullptr, nullptr, 0) != DS_OK)
        return false;
    std::string out = "RIFF";
    WriteU32(out, size + 36);
    out += "WAVE";
    uint32_t formatSize = 0;
    buffer->GetFormat(nullptr, 0, &formatSize);
    std::vector<uint8_t> formatBlock(formatSize < sizeof(WAVEFORMATEX) ? sizeof(WAVEFORMATEX) : formatSize, 0);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(formatBlock.data());
    buffer->GetFormat(format, formatSize, nullptr);
    uint16_t blockAlign = uint16_t(format->nChannels * format->wBitsPerSample / 8);
    out += "fmt ";
    WriteU32(out, 16);
    WriteU16(out, WAVE_FORMAT_PCM);
    WriteU16(out, format->nChannels);
    WriteU32(out, format->nSamplesPerSec);
    WriteU32(out, blockAlign * format->nSamplesPerSec);
    WriteU16(out, blockAlign);
    WriteU16(out, format->wBitsPerSample);
    FILETIME sourceTime;
    GetFileWriteTime(source, &sourceTime);
    out += "dep ";
    WriteU32(out, uint32_t(source.size()) + 10);
    WriteU16(out, uint16_t(source.size()));
    out += source;
    WriteU32(out, sourceTime.dwLowDateTime);
    WriteU32(out, sourceTime.dwHighDateTime);
    out += "xor ";
    WriteU32(out, 1);
    out.push_back(char(kCacheKey));
    out += "data";
    WriteU32(out, size);
    const size_t samples = out.size();
    out.append(static_cast<const char*>(data), locked);
    Scramble(out.data() + samples, locked, kCacheKey);
    // Replaced whole, so a crash never leaves half a file, and never written
    // through a link by its name.
    std::string error;
    if (!WriteFileAtomically(NativePath(cachePath), out, &error, AtLink::kReplace))
        AppLog::GetInstance()->Printf(AppLog::kToFile, "Could not write the sound cache %s: %s", cachePath.c_str(),
                                      error.c_str());
    return buffer->Unlock(data, locked, nullptr, 0) == DS_OK;
}

} // namespace Lumo

#include "platform/sound/MusicLibrary.h"

#include "platform/sound/AudioMixer.h"
#include "platform/sound/AudioOutput.h"
#include "platform/storage/Files.h"
#include "platform/sound/StreamDecoder.h"

#include <algorithm>
#include <cstdio>

namespace Platform {

namespace {

constexpr DWORD kBytesPerSecond = AudioMixer::kRate * 4;
constexpr QWORD kMaxFileBytes = 256u << 20;
constexpr DWORD kInvalid = 0xFFFFFFFF;

} // namespace

MusicLibrary& MusicLibrary::Get()
{
    // The mixer is made first so that it outlives the library's voices.
    AudioMixer::Get();
    static MusicLibrary library;
    return library;
}

MusicLibrary::~MusicLibrary()
{
    auto lock = AudioMixer::Get().Acquire();
    for (auto& [handle, channel] : mChannels)
        AudioMixer::Get().Remove(&channel->Voice());
}

BOOL MusicLibrary::Fail(int32_t error)
{
    mError = error;
    return 0;
}

BOOL MusicLibrary::Succeed()
{
    mError = BASS_OK;
    return 1;
}

int32_t MusicLibrary::NotAvailable() { return Fail(BASS_ERROR_NOTAVAIL); }

MusicChannel* MusicLibrary::Find(DWORD handle)
{
    auto found = mChannels.find(handle);
    if (found == mChannels.end()) {
        mError = BASS_ERROR_HANDLE;
        return nullptr;
    }
    return found->second.get();
}

void MusicLibrary::ApplyGains(MusicChannel& channel)
{
    float gain = float(channel.volume) / 100.0f * float(mMasterVolume) / 100.0f;
    if (channel.module)
        gain *= float(mMusicVolume) / 100.0f * float(channel.amplify) / 50.0f;
    else
        gain *= float(mStreamVolume) / 100.0f;
    float left = channel.pan > 0 ? float(100 - channel.pan) / 100.0f : 1.0f;
    float right = channel.pan < 0 ? float(100 + channel.pan) / 100.0f : 1.0f;
    channel.Voice().SetGains(gain * left, gain * right);
}

void MusicLibrary::ApplyAllGains()
{
    for (auto& [handle, channel] : mChannels)
        ApplyGains(*channel);
}

DWORD MusicLibrary::AddChannel(std::unique_ptr<MusicChannel> channel, DWORD flags)
{
    auto lock = AudioMixer::Get().Acquire();
    if (!mInitialised)
        return Fail(BASS_ERROR_INIT);
    DWORD handle = mNextHandle++;
    if (mNextHandle == 0)
        mNextHandle = 1;
    channel->Voice().SetLooping((flags & BASS_SAMPLE_LOOP) != 0);
    ApplyGains(*channel);
    AudioMixer::Get().Add(&channel->Voice());
    mChannels[handle] = std::move(channel);
    Succeed();
    return handle;
}

void MusicLibrary::RemoveChannel(DWORD handle)
{
    auto found = mChannels.find(handle);
    AudioMixer::Get().Remove(&found->second->Voice());
    mChannels.erase(found);
}

BOOL MusicLibrary::Init(int32_t device)
{
    auto lock = AudioMixer::Get().Acquire();
    if (device < -1)
        return Fail(BASS_ERROR_ILLPARAM);
    if (mInitialised)
        return Fail(BASS_ERROR_ALREADY);
    AudioOutput::Start();
    mInitialised = true;
    return Succeed();
}

BOOL MusicLibrary::Free()
{
    auto lock = AudioMixer::Get().Acquire();
    if (!mInitialised)
        return Fail(BASS_ERROR_INIT);
    while (!mChannels.empty())
        RemoveChannel(mChannels.begin()->first);
    mInitialised = false;
    return Succeed();
}

BOOL MusicLibrary::Start()
{
    auto lock = AudioMixer::Get().Acquire();
    if (!mInitialised)
        return Fail(BASS_ERROR_INIT);
    for (auto& [handle, channel] : mChannels) {
        if (channel->held)
            channel->Voice().SetPlaying(true);
        channel->held = false;
    }
    return Succeed();
}

BOOL MusicLibrary::Stop()
{
    auto lock = AudioMixer::Get().Acquire();
    if (!mInitialised)
        return Fail(BASS_ERROR_INIT);
    for (auto& [handle, channel] : mChannels) {
        if (channel->Voice().IsPlaying()) {
            channel->Voice().SetPlaying(false);
            channel->held = true;
        }
    }
    return Succeed();
}

BOOL MusicLibrary::SetVolume(DWORD volume)
{
    auto lock = AudioMixer::Get().Acquire();
    if (volume > 100)
        return Fail(BASS_ERROR_ILLPARAM);
    mMasterVolume = volume;
    ApplyAllGains();
    return Succeed();
}

DWORD MusicLibrary::GetVolume()
{
    auto lock = AudioMixer::Get().Acquire();
    Succeed();
    return mMasterVolume;
}

BOOL MusicLibrary::GetInfo(BASS_INFO* info)
{
    auto lock = AudioMixer::Get().Acquire();
    if (!mInitialised)
        return Fail(BASS_ERROR_INIT);
    if (!info)
        return Fail(BASS_ERROR_ILLPARAM);
    info->flags = 0;
    info->minbuf = mBufferMillis;
    info->latency = AudioOutput::HasDevice() ? 1024 * 1000 / AudioMixer::kRate : 0;
    info->speakers = AudioMixer::kChannels;
    info->freq = AudioMixer::kRate;
    return Succeed();
}

BOOL MusicLibrary::SetConfig(DWORD option, DWORD value)
{
    auto lock = AudioMixer::Get().Acquire();
    switch (option) {
    case BASS_CONFIG_BUFFER:
        // The mixer's own buffer is fixed; the length is kept for GetConfig.
        mBufferMillis = std::clamp<DWORD>(value, 10, 5000);
        return Succeed();
    case BASS_CONFIG_GVOL_STREAM:
        mStreamVolume = std::min<DWORD>(value, 100);
        ApplyAllGains();
        return Succeed();
    case BASS_CONFIG_GVOL_MUSIC:
        mMusicVolume = std::min<DWORD>(value, 100);
        ApplyAllGains();
        return Succeed();
    default:
        return Fail(BASS_ERROR_ILLPARAM);
    }
}

DWORD MusicLibrary::GetConfig(DWORD option)
{
    auto lock = AudioMixer::Get().Acquire();
    Succeed();
    switch (option) {
    case BASS_CONFIG_BUFFER:
        return mBufferMillis;
    case BASS_CONFIG_GVOL_STREAM:
        return mStreamVolume;
    case BASS_CONFIG_GVOL_MUSIC:
        return mMusicVolume;
    default:
        Fail(BASS_ERROR_ILLPARAM);
        return kInvalid;
    }
}

BOOL MusicLibrary::ChannelStop(DWORD handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    channel->SetRunState(false, false);
    return Succeed();
}

BOOL MusicLibrary::ChannelPlay(DWORD handle, BOOL restart)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    if (restart) {
        if (channel->module)
            channel->module->SetSeconds(0.0);
        else
            channel->stream->SetPositionBytes(0);
    }
    channel->SetRunState(true, false);
    return Succeed();
}

BOOL MusicLibrary::ChannelPause(DWORD handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    if (!channel->Voice().IsPlaying() && !channel->held)
        return Fail(BASS_ERROR_ALREADY);
    channel->SetRunState(false, true);
    return Succeed();
}

DWORD MusicLibrary::ChannelIsActive(DWORD handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return BASS_ACTIVE_STOPPED;
    Succeed();
    if (channel->Voice().IsPlaying())
        return BASS_ACTIVE_PLAYING;
    return channel->paused || channel->held ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_STOPPED;
}

BOOL MusicLibrary::ChannelSetAttributes(DWORD handle, int32_t freq, int32_t volume, int32_t pan)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    if (volume != -1)
        channel->volume = std::clamp(volume, 0, 100);
    if (pan != -101)
        channel->pan = std::clamp(pan, -100, 100);
    ApplyGains(*channel);
    // Channels play at their own rate only.
    if (freq != -1 && freq != 0)
        return NotAvailable();
    return Succeed();
}

BOOL MusicLibrary::ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int32_t* pan)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    if (freq)
        *freq = channel->module ? AudioMixer::kRate : channel->pcm->format.nSamplesPerSec;
    if (volume)
        *volume = DWORD(channel->volume);
    if (pan)
        *pan = channel->pan;
    return Succeed();
}

BOOL MusicLibrary::ChannelSetPosition(DWORD handle, QWORD position)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    DWORD low = DWORD(position);
    if (channel->module) {
        // An order position may come widened with its sign; only the low 32 bits count.
        if (low & BASS_MUSIC_POSITION) {
            int32_t order = int32_t(low & 0xFFFF);
            if (order >= channel->module->OrderCount())
                return Fail(BASS_ERROR_ILLPARAM);
            channel->module->SetOrderRow(order, int32_t((low >> 16) & 0x7FFF));
        } else {
            channel->module->SetSeconds(double(position) / kBytesPerSecond);
        }
        return Succeed();
    }
    if (position > channel->pcm->bytes.size())
        return Fail(BASS_ERROR_ILLPARAM);
    channel->stream->SetPositionBytes(low);
    return Succeed();
}

QWORD MusicLibrary::ChannelGetPosition(DWORD handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return ~QWORD(0);
    Succeed();
    if (channel->module)
        return QWORD(channel->module->Seconds() * kBytesPerSecond) & ~QWORD(3);
    return channel->stream->PositionBytes();
}

QWORD MusicLibrary::ChannelGetLength(DWORD handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return ~QWORD(0);
    Succeed();
    if (channel->module)
        return QWORD(channel->module->LengthSeconds() * kBytesPerSecond) & ~QWORD(3);
    return channel->pcm->bytes.size();
}

BOOL MusicLibrary::ChannelSetFlags(DWORD handle, DWORD flags)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel)
        return 0;
    channel->Voice().SetLooping((flags & BASS_SAMPLE_LOOP) != 0);
    return Succeed();
}

BOOL MusicLibrary::ChannelPreBuf(DWORD handle)
{
    // Streams are decoded when created: there is nothing left to buffer.
    auto lock = AudioMixer::Get().Acquire();
    return Find(handle) ? Succeed() : 0;
}

std::vector<uint8_t> MusicLibrary::ReadSource(BOOL memory, const void* file, QWORD offset, QWORD length)
{
    std::vector<uint8_t> bytes;
    if (!file) {
        Fail(BASS_ERROR_ILLPARAM);
        return bytes;
    }
    if (memory) {
        if (length == 0 || length > kMaxFileBytes) {
            Fail(BASS_ERROR_ILLPARAM);
            return bytes;
        }
        const uint8_t* start = static_cast<const uint8_t*>(file) + offset;
        bytes.assign(start, start + length);
        return bytes;
    }
    FILE* stream = OpenFile(static_cast<const char*>(file), "rb");
    if (!stream) {
        Fail(BASS_ERROR_FILEOPEN);
        return bytes;
    }
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0)
        size = std::ftell(stream);
    QWORD available = size > 0 && QWORD(size) > offset ? QWORD(size) - offset : 0;
    QWORD wanted = length == 0 || length > available ? available : length;
    if (wanted == 0 || wanted > kMaxFileBytes || std::fseek(stream, long(offset), SEEK_SET) != 0) {
        std::fclose(stream);
        Fail(wanted > kMaxFileBytes ? BASS_ERROR_MEM : BASS_ERROR_FILEFORM);
        return bytes;
    }
    bytes.resize(wanted);
    if (std::fread(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
        bytes.clear();
        Fail(BASS_ERROR_FILEOPEN);
    }
    std::fclose(stream);
    return bytes;
}

HMUSIC MusicLibrary::MusicLoad(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD flags)
{
    std::vector<uint8_t> bytes = ReadSource(memory, file, offset, length);
    if (bytes.empty())
        return 0;
    auto channel = std::make_unique<MusicChannel>();
    channel->module = ModuleVoice::Load(bytes.data(), bytes.size());
    if (!channel->module)
        return Fail(BASS_ERROR_FILEFORM);
    return AddChannel(std::move(channel), flags);
}

BOOL MusicLibrary::MusicFree(HMUSIC handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel || !channel->module)
        return Fail(BASS_ERROR_HANDLE);
    RemoveChannel(handle);
    return Succeed();
}

DWORD MusicLibrary::MusicGetAttribute(DWORD handle, DWORD attribute)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel || !channel->module) {
        Fail(BASS_ERROR_HANDLE);
        return kInvalid;
    }
    if (attribute != BASS_MUSIC_ATTRIB_AMPLIFY) {
        Fail(BASS_ERROR_ILLPARAM);
        return kInvalid;
    }
    Succeed();
    return channel->amplify;
}

BOOL MusicLibrary::MusicSetAttribute(DWORD handle, DWORD attribute, DWORD value)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel || !channel->module)
        return Fail(BASS_ERROR_HANDLE);
    if (attribute != BASS_MUSIC_ATTRIB_AMPLIFY)
        return Fail(BASS_ERROR_ILLPARAM);
    channel->amplify = std::min<DWORD>(value, 100);
    ApplyGains(*channel);
    return Succeed();
}

DWORD MusicLibrary::MusicGetOrders(HMUSIC handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel || !channel->module) {
        Fail(BASS_ERROR_HANDLE);
        return kInvalid;
    }
    Succeed();
    return DWORD(channel->module->OrderCount());
}

DWORD MusicLibrary::MusicGetOrderPosition(HMUSIC handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel || !channel->module) {
        Fail(BASS_ERROR_HANDLE);
        return kInvalid;
    }
    Succeed();
    return DWORD(channel->module->CurrentOrder()) & 0xFFFF;
}

HSTREAM MusicLibrary::StreamCreateFile(BOOL memory, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    std::vector<uint8_t> bytes = ReadSource(memory, file, offset, length);
    if (bytes.empty())
        return 0;
    auto channel = std::make_unique<MusicChannel>();
    channel->pcm = StreamDecoder::Decode(bytes);
    if (!channel->pcm || channel->pcm->bytes.empty())
        return Fail(BASS_ERROR_FILEFORM);
    channel->stream = std::make_unique<PcmVoice>(channel->pcm);
    return AddChannel(std::move(channel), flags);
}

BOOL MusicLibrary::StreamFree(HSTREAM handle)
{
    auto lock = AudioMixer::Get().Acquire();
    MusicChannel* channel = Find(handle);
    if (!channel || !channel->stream)
        return Fail(BASS_ERROR_HANDLE);
    RemoveChannel(handle);
    return Succeed();
}

} // namespace Platform

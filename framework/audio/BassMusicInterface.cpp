#include "framework/audio/BassMusicInterface.h"

#include "framework/audio/WaveVolumeControl.h"
#include "framework/core/AppLog.h"
#include "framework/core/StringUtils.h"
#include "framework/resources/SharedPak.h"

#include <algorithm>
#include <cstdio>

namespace Lumo {

using namespace Platform;

namespace {

constexpr DWORD kLoop = 4;
constexpr DWORD kModuleFlags2 = 0x8200;
constexpr DWORD kMusicLoadFlags1 = 4;
constexpr DWORD kMusicLoadFlags2 = 0x204;
constexpr DWORD kModuleOrderPosition = 0x80000000;
constexpr DWORD kBufferConfig = 0;
constexpr DWORD kStreamVolumeConfig = 5;
constexpr DWORD kMusicVolumeConfig = 6;

// The whole file through the archive layer; empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& name)
{
    std::vector<uint8_t> bytes;
    PakFileHandle* file = PakOpen(name.c_str(), "rb");
    if (!file)
        return bytes;
    long size = -1;
    if (PakSeek(file, 0, SEEK_END) == 0)
        size = PakTell(file);
    if (size > 0 && PakSeek(file, 0, SEEK_SET) == 0) {
        bytes.resize(size_t(size));
        if (PakRead(bytes.data(), 1, int(size), file) != int(size))
            bytes.clear();
    }
    PakClose(file);
    return bytes;
}

} // namespace

std::unique_ptr<MusicInterface> BassMusicInterface::Create(HWND window)
{
    if (!LoadBassDLL()) {
        AppLog::GetInstance()->Printf(AppLog::kToFile, "Music is off: the music library could not be used");
        return std::make_unique<MusicInterface>();
    }
    return std::unique_ptr<MusicInterface>(new BassMusicInterface(window));
}

BassMusicInterface::BassMusicInterface(HWND window) : mBass(*GetBassInstance())
{
    // Starting the library must not change the system's wave volume.
    WaveVolumeControl waveVolume;
    uint32_t wave = waveVolume.Read();
    if (mBass.mVersion2) {
        mBass.BASS_Init2(1, 44100, 0, window, nullptr);
        mBass.BASS_SetConfig(kBufferConfig, 2000);
    } else {
        mBass.BASS_Init(-1, 44100, 0, window);
    }
    waveVolume.Write(wave);
    mBass.BASS_Start();
}

BassMusicInterface::~BassMusicInterface()
{
    if (!mSongs.empty()) {
        UnloadAllMusic();
        mSongs.clear();
        mFadeList.clear();
    }
    mBass.BASS_Stop();
    mBass.BASS_Free();
    FreeBassDLL();
}

BassMusicSong* BassMusicInterface::Song(int32_t id)
{
    return id >= 0 && id < mSongCount ? &mSongs[size_t(id)] : nullptr;
}

bool BassMusicInterface::FindInFadeList(int32_t id, int32_t* index) const
{
    for (int32_t i = mFadeCount - 1; i >= 0; --i) {
        if (mFadeList[size_t(i)] == id) {
            *index = i;
            return true;
        }
    }
    *index = mFadeCount;
    return false;
}

void BassMusicInterface::AddToFadeList(int32_t id)
{
    int32_t index = 0;
    if (!FindInFadeList(id, &index))
        mFadeList[size_t(mFadeCount++)] = id;
}

void BassMusicInterface::RemoveFromFadeList(int32_t id)
{
    int32_t index = 0;
    if (FindInFadeList(id, &index)) {
        --mFadeCount;
        mFadeList[size_t(index)] = mFadeList[size_t(mFadeCount)];
    }
}

void BassMusicInterface::ApplyVolume(const BassMusicSong& song)
{
    mBass.BASS_ChannelSetAttributes(song.Channel(), -1, int32_t(song.mVolume * 100.0f), -101);
}

void BassMusicInterface::InitSongs(int32_t count)
{
    // Songs of an earlier table would otherwise keep playing with nothing to stop them.
    UnloadAllMusic();
    mSongCount = std::max(count, 0);
    mSongs.assign(size_t(mSongCount), BassMusicSong{});
    mFadeList.assign(size_t(mSongCount), 0);
    mFadeCount = 0;
}

bool BassMusicInterface::LoadMusic(int32_t id, const std::string& file)
{
    BassMusicSong* song = Song(id);
    if (!song)
        return false;
    if (song->HasHandle())
        UnloadMusic(id);
    size_t dot = file.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : StringToLower(file.substr(dot + 1));
    if (extension == "wav" || extension == "ogg" || extension == "mp3") {
        song->mStream = mBass.BASS_StreamCreateFile(0, file.c_str(), 0, 0, 0);
    } else {
        std::vector<uint8_t> data = ReadWholeFile(file);
        if (data.empty())
            return false;
        // The library is told the real length: it cannot know where the block ends.
        if (mBass.mVersion2)
            song->mModule = mBass.BASS_MusicLoad2(1, data.data(), 0, DWORD(data.size()), kMusicLoadFlags2, 0);
        else
            song->mModule = mBass.BASS_MusicLoad(1, data.data(), 0, DWORD(data.size()), kMusicLoadFlags1);
    }
    return song->HasHandle();
}

void BassMusicInterface::BassPlayModuleAt(const BassMusicSong& song, int32_t offset, DWORD loopFlags)
{
    DWORD flags = loopFlags | (mBass.mVersion2 ? kModuleFlags2 : 0);
    mBass.BASS_ChannelStop(song.Channel());
    int32_t position = int32_t(kModuleOrderPosition | (DWORD(offset) & 0xFFFF));
    mBass.BASS_ChannelSetPosition(song.Channel(), QWORD(int64_t(position)));
    mBass.BASS_ChannelSetFlags(song.Channel(), flags);
    mBass.BASS_ChannelPlay(song.Channel(), 0);
}

void BassMusicInterface::BassPlayStream(const BassMusicSong& song, int32_t offset, DWORD loopFlags)
{
    mBass.BASS_ChannelSetFlags(song.Channel(), loopFlags);
    mBass.BASS_ChannelPlay(song.Channel(), offset != -1);
    if (offset > 0)
        mBass.BASS_ChannelSetPosition(song.Channel(), QWORD(offset));
}

void BassMusicInterface::BassResumeChannel(const BassMusicSong& song) { mBass.BASS_ChannelPlay(song.Channel(), 0); }

void BassMusicInterface::BassMusicSetAttribute0(const BassMusicSong& song, DWORD value)
{
    mBass.BASS_MusicSetAttribute(song.Channel(), 0, value);
}

void BassMusicInterface::StartChannel(BassMusicSong& song, int32_t offset, bool noLoop)
{
    DWORD loopFlags = noLoop ? 0 : kLoop;
    if (song.mModule)
        BassPlayModuleAt(song, offset, loopFlags);
    else
        BassPlayStream(song, offset, loopFlags);
}

void BassMusicInterface::PlayMusic(int32_t id, int32_t offset, bool noLoop)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle())
        return;
    RemoveFromFadeList(id);
    song->mVolume = song->mMaxVolume;
    song->mFadeStep = 0.0f;
    song->mStopWhenSilent = noLoop;
    song->mChainPending = false;
    song->mPaused = false;
    mBass.BASS_ChannelStop(song->Channel());
    ApplyVolume(*song);
    StartChannel(*song, offset, noLoop);
}

void BassMusicInterface::StopMusic(int32_t id)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle())
        return;
    song->mVolume = 0.0f;
    song->mChainPending = false;
    RemoveFromFadeList(id);
    mBass.BASS_ChannelStop(song->Channel());
}

void BassMusicInterface::PauseMusic(int32_t id)
{
    BassMusicSong* song = Song(id);
    if (!song)
        return;
    song->mPaused = true;
    if (song->HasHandle())
        mBass.BASS_ChannelPause(song->Channel());
}

void BassMusicInterface::ResumeMusic(int32_t id)
{
    BassMusicSong* song = Song(id);
    if (!song)
        return;
    song->mPaused = false;
    if (song->HasHandle())
        BassResumeChannel(*song);
}

void BassMusicInterface::StopAllMusic()
{
    for (int32_t id = 0; id < mSongCount; ++id) {
        BassMusicSong& song = mSongs[size_t(id)];
        if (!song.HasHandle())
            continue;
        RemoveFromFadeList(id);
        song.mVolume = 0.0f;
        song.mChainPending = false;
        mBass.BASS_ChannelStop(song.Channel());
    }
}

void BassMusicInterface::UnloadMusic(int32_t id)
{
    BassMusicSong* song = Song(id);
    if (!song)
        return;
    StopMusic(id);
    if (song->mStream)
        mBass.BASS_StreamFree(song->mStream);
    else if (song->mModule)
        mBass.BASS_MusicFree(song->mModule);
    song->mStream = 0;
    song->mModule = 0;
}

void BassMusicInterface::UnloadAllMusic()
{
    StopAllMusic();
    for (int32_t id = 0; id < mSongCount; ++id)
        UnloadMusic(id);
}

void BassMusicInterface::PauseAllMusic()
{
    for (BassMusicSong& song : mSongs) {
        song.mPaused = true;
        if (song.HasHandle() && mBass.BASS_ChannelIsActive(song.Channel()) == 1)
            mBass.BASS_ChannelPause(song.Channel());
    }
}

void BassMusicInterface::ResumeAllMusic()
{
    for (BassMusicSong& song : mSongs) {
        song.mPaused = false;
        if (song.HasHandle() && mBass.BASS_ChannelIsActive(song.Channel()) == 3)
            BassResumeChannel(song);
    }
}

void BassMusicInterface::FadeOutThenFadeIn(int32_t id, float outStep, int32_t nextId, float inStep,
                                           int32_t nextOffset)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle())
        return;
    if (song->mVolume > 0.0f) {
        AddToFadeList(id);
        song->mFadeStep = -outStep;
        song->mStopWhenSilent = true;
        song->mNextId = nextId;
        song->mNextOffset = nextOffset;
        song->mNextStep = inStep;
        song->mChainPending = true;
        song->mPaused = false;
    } else {
        RemoveFromFadeList(id);
        FadeIn(nextId, nextOffset, inStep, false);
    }
}

void BassMusicInterface::FadeIn(int32_t id, int32_t offset, float step, bool noLoop)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle())
        return;
    AddToFadeList(id);
    song->mFadeStep = step;
    song->mStopWhenSilent = noLoop;
    song->mChainPending = false;
    song->mPaused = false;
    mBass.BASS_ChannelStop(song->Channel());
    ApplyVolume(*song);
    StartChannel(*song, offset, noLoop);
}

void BassMusicInterface::FadeOut(int32_t id, bool stopWhenSilent, float step)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle() || !(song->mVolume > 0.0f))
        return;
    AddToFadeList(id);
    song->mFadeStep = -step;
    song->mStopWhenSilent = stopWhenSilent;
    song->mPaused = false;
    song->mChainPending = false;
}

void BassMusicInterface::FadeOutAll(bool stopWhenSilent, float step)
{
    for (int32_t id = 0; id < mSongCount; ++id) {
        BassMusicSong& song = mSongs[size_t(id)];
        if (!song.HasHandle())
            continue;
        AddToFadeList(id);
        song.mFadeStep = -step;
        song.mStopWhenSilent = stopWhenSilent;
        song.mPaused = false;
        song.mChainPending = false;
    }
}

void BassMusicInterface::SetSongVolume(int32_t id, float volume)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle())
        return;
    song->mVolume = volume;
    song->mFadeStep = 0.0f;
    RemoveFromFadeList(id);
    ApplyVolume(*song);
}

void BassMusicInterface::SetSongMaxVolume(int32_t id, float volume)
{
    BassMusicSong* song = Song(id);
    if (!song || !song->HasHandle())
        return;
    song->mMaxVolume = volume;
    song->mVolume = std::min(song->mVolume, volume);
    ApplyVolume(*song);
}

bool BassMusicInterface::IsPlaying(int32_t id)
{
    BassMusicSong* song = Song(id);
    return song && song->HasHandle() && mBass.BASS_ChannelIsActive(song->Channel()) == 1;
}

void BassMusicInterface::SetVolume(float volume)
{
    volume = std::clamp(volume, 0.0f, 1.0f);
    if (mBass.mVersion2) {
        DWORD value = DWORD(volume * 100.0f);
        mBass.BASS_SetConfig(kMusicVolumeConfig, value);
        mBass.BASS_SetConfig(kStreamVolumeConfig, value);
    } else if (mBass.BASS_SetGlobalVolumes) {
        // A 1.x library with only BASS_SetVolume has no global volumes to set.
        int32_t value = int32_t(float(mVolumeScale) * volume);
        mBass.BASS_SetGlobalVolumes(value, value, value);
    }
}

void BassMusicInterface::SetMusicAmplify(int32_t id, float amplify)
{
    BassMusicSong* song = Song(id);
    if (song && song->HasHandle())
        BassMusicSetAttribute0(*song, DWORD(std::max(amplify, 0.0f) * 100.0f));
}

void BassMusicInterface::Update()
{
    int32_t i = 0;
    while (i < mFadeCount) {
        int32_t id = mFadeList[size_t(i)];
        BassMusicSong& song = mSongs[size_t(id)];
        if (song.mPaused || song.mFadeStep == 0.0f) {
            ++i;
            continue;
        }
        song.mVolume += song.mFadeStep;
        bool done = false;
        if (song.mVolume > song.mMaxVolume) {
            song.mVolume = song.mMaxVolume;
            song.mFadeStep = 0.0f;
            done = true;
        } else if (song.mVolume < 0.0f) {
            song.mVolume = 0.0f;
            song.mFadeStep = 0.0f;
            if (song.mStopWhenSilent || song.mChainPending)
                mBass.BASS_ChannelStop(song.Channel());
            if (song.mChainPending)
                FadeIn(song.mNextId, song.mNextOffset, song.mNextStep, false);
            else
                done = true;
        }
        ApplyVolume(song);
        if (done) {
            --mFadeCount;
            if (i != mFadeCount) {
                // The last entry takes this place and is handled at once.
                mFadeList[size_t(i)] = mFadeList[size_t(mFadeCount)];
                continue;
            }
        }
        ++i;
    }
}

} // namespace Lumo

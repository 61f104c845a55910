#pragma once

#include "platform/sound/MusicChannel.h"
#include "platform/sound/MusicLibraryTypes.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace Platform {

// The state behind the music library's entry points: its channels and
// global settings, all mixed by the one mixer. Each operation sets the error
// code that BASS_ErrorGetCode reports.
class MusicLibrary {
public:
    static MusicLibrary& Get();

    BOOL Init(int32_t device);
    BOOL Free();
    BOOL Start();
    BOOL Stop();
    BOOL SetVolume(DWORD volume);
    DWORD GetVolume();
    BOOL GetInfo(BASS_INFO* info);
    BOOL SetConfig(DWORD option, DWORD value);
    DWORD GetConfig(DWORD option);

    BOOL ChannelStop(DWORD handle);
    BOOL ChannelPlay(DWORD handle, BOOL restart);
    BOOL ChannelPause(DWORD handle);
    DWORD ChannelIsActive(DWORD handle);
    BOOL ChannelSetAttributes(DWORD handle, int32_t freq, int32_t volume, int32_t pan);
    BOOL ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int32_t* pan);
    BOOL ChannelSetPosition(DWORD handle, QWORD position);
    QWORD ChannelGetPosition(DWORD handle);
    QWORD ChannelGetLength(DWORD handle);
    BOOL ChannelSetFlags(DWORD handle, DWORD flags);
    BOOL ChannelPreBuf(DWORD handle);

    HMUSIC MusicLoad(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD flags);
    BOOL MusicFree(HMUSIC handle);
    DWORD MusicGetAttribute(DWORD handle, DWORD attribute);
    BOOL MusicSetAttribute(DWORD handle, DWORD attribute, DWORD value);
    DWORD MusicGetOrders(HMUSIC handle);
    DWORD MusicGetOrderPosition(HMUSIC handle);

    HSTREAM StreamCreateFile(BOOL memory, const void* file, QWORD offset, QWORD length, DWORD flags);
    BOOL StreamFree(HSTREAM handle);

    // For what this library does not offer (effects, syncs, samples, plug-ins, levels).
    int32_t NotAvailable();
    int32_t ErrorGetCode() const { return mError.load(); }

private:
    MusicLibrary() = default;
    ~MusicLibrary();

    // With the mixer's lock held; null (and the handle error) when absent.
    MusicChannel* Find(DWORD handle);
    DWORD AddChannel(std::unique_ptr<MusicChannel> channel, DWORD flags);
    void RemoveChannel(DWORD handle);
    void ApplyGains(MusicChannel& channel);
    void ApplyAllGains();
    // The file's bytes, from memory or from disk; empty on failure (error set).
    std::vector<uint8_t> ReadSource(BOOL memory, const void* file, QWORD offset, QWORD length);
    BOOL Fail(int32_t error);
    BOOL Succeed();

    std::atomic<int32_t> mError{BASS_OK};
    std::map<DWORD, std::unique_ptr<MusicChannel>> mChannels;
    DWORD mNextHandle = 1;
    bool mInitialised = false;
    DWORD mBufferMillis = 500;
    DWORD mMusicVolume = 100;
    DWORD mStreamVolume = 100;
    DWORD mMasterVolume = 100;
};

} // namespace Platform

#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>

// The types, values and entry-point shapes of the music library ".\bass.dll".
// The names are looked up at run time; the table below gives each its shape.
namespace Platform {

using BOOL = int32_t;
using DWORD = uint32_t;
using QWORD = uint64_t;
using HMUSIC = DWORD;
using HSTREAM = DWORD;
using HSAMPLE = DWORD;
using HCHANNEL = DWORD;
using HSYNC = DWORD;
using HFX = DWORD;
using HPLUGIN = DWORD;

constexpr DWORD BASS_VERSION_2 = 0x0204;

// Flags of loading and playing.
constexpr DWORD BASS_SAMPLE_LOOP = 0x4;
// Config options.
constexpr DWORD BASS_CONFIG_BUFFER = 0;
constexpr DWORD BASS_CONFIG_GVOL_STREAM = 5;
constexpr DWORD BASS_CONFIG_GVOL_MUSIC = 6;
// A module position by order and row: order in the low 16 bits, row above.
constexpr DWORD BASS_MUSIC_POSITION = 0x80000000;
// The module attribute of amplification, 0..100; 50 plays as loaded.
constexpr DWORD BASS_MUSIC_ATTRIB_AMPLIFY = 0;
// Channel states.
constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// Error codes.
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;
constexpr int BASS_ERROR_FILEOPEN = 2;
constexpr int BASS_ERROR_HANDLE = 5;
constexpr int BASS_ERROR_FORMAT = 6;
constexpr int BASS_ERROR_INIT = 8;
constexpr int BASS_ERROR_ALREADY = 14;
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_NOTAVAIL = 37;
constexpr int BASS_ERROR_FILEFORM = 41;

struct BASS_INFO {
    DWORD flags = 0;
    DWORD minbuf = 0;
    DWORD latency = 0;
    DWORD speakers = 0;
    DWORD freq = 0;
};

struct BASS_SAMPLE {
    DWORD freq = 0;
    DWORD volume = 0;
    int32_t pan = 0;
    DWORD flags = 0;
    DWORD length = 0;
    DWORD max = 0;
};

using SYNCPROC = void(HSYNC sync, DWORD channel, DWORD data, void* user);

using BASS_GetVersion_t = DWORD (*)();
using BASS_Init1_t = BOOL (*)(int32_t device, DWORD freq, DWORD flags, HWND window);
using BASS_Init2_t = BOOL (*)(int32_t device, DWORD freq, DWORD flags, HWND window, const void* classId);
using BASS_Free_t = BOOL (*)();
using BASS_Stop_t = BOOL (*)();
using BASS_Start_t = BOOL (*)();
using BASS_SetGlobalVolumes_t = BOOL (*)(int32_t music, int32_t sample, int32_t stream);
using BASS_SetVolume_t = BOOL (*)(DWORD volume);
using BASS_GetVolume_t = DWORD (*)();
using BASS_GetInfo_t = BOOL (*)(BASS_INFO* info);
using BASS_SetConfig_t = BOOL (*)(DWORD option, DWORD value);
using BASS_GetConfig_t = DWORD (*)(DWORD option);
using BASS_ChannelStop_t = BOOL (*)(DWORD handle);
using BASS_ChannelPlay_t = BOOL (*)(DWORD handle, BOOL restart);
using BASS_ChannelPause_t = BOOL (*)(DWORD handle);
using BASS_ChannelSetAttributes_t = BOOL (*)(DWORD handle, int32_t freq, int32_t volume, int32_t pan);
using BASS_ChannelGetAttributes_t = BOOL (*)(DWORD handle, DWORD* freq, DWORD* volume, int32_t* pan);
using BASS_ChannelSetPosition_t = BOOL (*)(DWORD handle, QWORD position);
using BASS_ChannelGetPosition_t = QWORD (*)(DWORD handle);
using BASS_ChannelSetFlags_t = BOOL (*)(DWORD handle, DWORD flags);
using BASS_ChannelIsActive_t = DWORD (*)(DWORD handle);
using BASS_ChannelSlideAttributes_t = BOOL (*)(DWORD handle, int32_t freq, int32_t volume, int32_t pan, DWORD time);
using BASS_ChannelIsSliding_t = DWORD (*)(DWORD handle);
using BASS_ChannelGetLevel_t = DWORD (*)(DWORD handle);
using BASS_ChannelSetFX_t = HFX (*)(DWORD handle, DWORD type, int32_t priority);
using BASS_ChannelRemoveFX_t = BOOL (*)(DWORD handle, HFX fx);
using BASS_ChannelGetLength_t = QWORD (*)(DWORD handle);
using BASS_ChannelGetData_t = DWORD (*)(DWORD handle, void* buffer, DWORD length);
using BASS_ChannelPreBuf_t = BOOL (*)(DWORD handle, DWORD length);
using BASS_ChannelSetSync_t = HSYNC (*)(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user);
using BASS_ChannelRemoveSync_t = BOOL (*)(DWORD handle, HSYNC sync);
using BASS_MusicLoad1_t = HMUSIC (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags);
using BASS_MusicLoad2_t = HMUSIC (*)(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD flags,
                                     DWORD freq);
using BASS_MusicFree_t = BOOL (*)(HMUSIC handle);
using BASS_StreamCreateFile_t = HSTREAM (*)(BOOL memory, const void* file, QWORD offset, QWORD length, DWORD flags);
using BASS_StreamFree_t = BOOL (*)(HSTREAM handle);
using BASS_FXSetParameters_t = BOOL (*)(HFX fx, const void* parameters);
using BASS_FXGetParameters_t = BOOL (*)(HFX fx, void* parameters);
using BASS_MusicGetAttribute_t = DWORD (*)(DWORD handle, DWORD attribute);
using BASS_MusicSetAttribute_t = BOOL (*)(DWORD handle, DWORD attribute, DWORD value);
using BASS_MusicGetOrders_t = DWORD (*)(HMUSIC handle);
using BASS_MusicGetOrderPosition_t = DWORD (*)(HMUSIC handle);
using BASS_PluginLoad_t = HPLUGIN (*)(const char* file, DWORD flags);
using BASS_SampleLoad_t = HSAMPLE (*)(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD max,
                                      DWORD flags);
using BASS_SampleFree_t = BOOL (*)(HSAMPLE handle);
using BASS_SampleSetInfo_t = BOOL (*)(HSAMPLE handle, const BASS_SAMPLE* info);
using BASS_SampleGetInfo_t = BOOL (*)(HSAMPLE handle, BASS_SAMPLE* info);
using BASS_SampleGetChannel_t = HCHANNEL (*)(HSAMPLE handle, BOOL onlyNew);
using BASS_SampleStop_t = BOOL (*)(HSAMPLE handle);
using BASS_ErrorGetCode_t = int32_t (*)();

} // namespace Platform

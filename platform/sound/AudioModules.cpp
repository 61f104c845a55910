#include "platform/sound/AudioModules.h"

#include "platform/sound/MixerDirectSound.h"
#include "platform/process/Modules.h"
#include "platform/sound/MusicLibrary.h"

namespace Platform {

namespace {

constexpr DWORD kInvalid = 0xFFFFFFFF;

MusicLibrary& Music() { return MusicLibrary::Get(); }

DWORD GetVersion() { return BASS_VERSION_2 << 16 | BASS_VERSION_2; }
BOOL Init(int32_t device, DWORD, DWORD, HWND, const void*) { return Music().Init(device); }
BOOL Free() { return Music().Free(); }
BOOL Stop() { return Music().Stop(); }
BOOL Start() { return Music().Start(); }
BOOL SetVolume(DWORD volume) { return Music().SetVolume(volume); }
DWORD GetVolume() { return Music().GetVolume(); }
BOOL GetInfo(BASS_INFO* info) { return Music().GetInfo(info); }
BOOL SetConfig(DWORD option, DWORD value) { return Music().SetConfig(option, value); }
DWORD GetConfig(DWORD option) { return Music().GetConfig(option); }
BOOL ChannelStop(DWORD handle) { return Music().ChannelStop(handle); }
BOOL ChannelPlay(DWORD handle, BOOL restart) { return Music().ChannelPlay(handle, restart); }
BOOL ChannelPause(DWORD handle) { return Music().ChannelPause(handle); }
BOOL ChannelSetAttributes(DWORD handle, int32_t freq, int32_t volume, int32_t pan)
{
    return Music().ChannelSetAttributes(handle, freq, volume, pan);
}
BOOL ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int32_t* pan)
{
    return Music().ChannelGetAttributes(handle, freq, volume, pan);
}
BOOL ChannelSetPosition(DWORD handle, QWORD position) { return Music().ChannelSetPosition(handle, position); }
QWORD ChannelGetPosition(DWORD handle) { return Music().ChannelGetPosition(handle); }
BOOL ChannelSetFlags(DWORD handle, DWORD flags) { return Music().ChannelSetFlags(handle, flags); }
DWORD ChannelIsActive(DWORD handle) { return Music().ChannelIsActive(handle); }
BOOL ChannelSlideAttributes(DWORD, int32_t, int32_t, int32_t, DWORD) { return Music().NotAvailable(); }
DWORD ChannelIsSliding(DWORD) { return Music().NotAvailable(); }
DWORD ChannelGetLevel(DWORD)
{
    Music().NotAvailable();
    return kInvalid;
}
HFX ChannelSetFX(DWORD, DWORD, int32_t) { return HFX(Music().NotAvailable()); }
BOOL ChannelRemoveFX(DWORD, HFX) { return Music().NotAvailable(); }
QWORD ChannelGetLength(DWORD handle) { return Music().ChannelGetLength(handle); }
DWORD ChannelGetData(DWORD, void*, DWORD)
{
    Music().NotAvailable();
    return kInvalid;
}
BOOL ChannelPreBuf(DWORD handle, DWORD) { return Music().ChannelPreBuf(handle); }
HSYNC ChannelSetSync(DWORD, DWORD, QWORD, SYNCPROC*, void*) { return HSYNC(Music().NotAvailable()); }
BOOL ChannelRemoveSync(DWORD, HSYNC) { return Music().NotAvailable(); }
HMUSIC MusicLoad(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD flags, DWORD)
{
    return Music().MusicLoad(memory, file, offset, length, flags);
}
BOOL MusicFree(HMUSIC handle) { return Music().MusicFree(handle); }
HSTREAM StreamCreateFile(BOOL memory, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    return Music().StreamCreateFile(memory, file, offset, length, flags);
}
BOOL StreamFree(HSTREAM handle) { return Music().StreamFree(handle); }
BOOL FXSetParameters(HFX, const void*) { return Music().NotAvailable(); }
BOOL FXGetParameters(HFX, void*) { return Music().NotAvailable(); }
DWORD MusicGetAttribute(DWORD handle, DWORD attribute) { return Music().MusicGetAttribute(handle, attribute); }
BOOL MusicSetAttribute(DWORD handle, DWORD attribute, DWORD value)
{
    return Music().MusicSetAttribute(handle, attribute, value);
}
DWORD MusicGetOrders(HMUSIC handle) { return Music().MusicGetOrders(handle); }
DWORD MusicGetOrderPosition(HMUSIC handle) { return Music().MusicGetOrderPosition(handle); }
HPLUGIN PluginLoad(const char*, DWORD) { return HPLUGIN(Music().NotAvailable()); }
HSAMPLE SampleLoad(BOOL, const void*, QWORD, DWORD, DWORD, DWORD) { return HSAMPLE(Music().NotAvailable()); }
BOOL SampleFree(HSAMPLE) { return Music().NotAvailable(); }
BOOL SampleSetInfo(HSAMPLE, const BASS_SAMPLE*) { return Music().NotAvailable(); }
BOOL SampleGetInfo(HSAMPLE, BASS_SAMPLE*) { return Music().NotAvailable(); }
HCHANNEL SampleGetChannel(HSAMPLE, BOOL) { return HCHANNEL(Music().NotAvailable()); }
BOOL SampleStop(HSAMPLE) { return Music().NotAvailable(); }
int32_t ErrorGetCode() { return Music().ErrorGetCode(); }

// Each entry keeps the shape its name has in MusicLibraryTypes.h.
template <typename Shape>
FARPROC Entry(Shape function)
{
    return reinterpret_cast<FARPROC>(function);
}

EntryTable MusicLibraryEntries()
{
    return {
        {"BASS_GetVersion", Entry<BASS_GetVersion_t>(GetVersion)},
        {"BASS_Init", Entry<BASS_Init2_t>(Init)},
        {"BASS_Free", Entry<BASS_Free_t>(Free)},
        {"BASS_Stop", Entry<BASS_Stop_t>(Stop)},
        {"BASS_Start", Entry<BASS_Start_t>(Start)},
        {"BASS_SetVolume", Entry<BASS_SetVolume_t>(SetVolume)},
        {"BASS_GetVolume", Entry<BASS_GetVolume_t>(GetVolume)},
        {"BASS_GetInfo", Entry<BASS_GetInfo_t>(GetInfo)},
        {"BASS_SetConfig", Entry<BASS_SetConfig_t>(SetConfig)},
        {"BASS_GetConfig", Entry<BASS_GetConfig_t>(GetConfig)},
        {"BASS_ChannelStop", Entry<BASS_ChannelStop_t>(ChannelStop)},
        {"BASS_ChannelPlay", Entry<BASS_ChannelPlay_t>(ChannelPlay)},
        {"BASS_ChannelPause", Entry<BASS_ChannelPause_t>(ChannelPause)},
        {"BASS_ChannelSetAttributes", Entry<BASS_ChannelSetAttributes_t>(ChannelSetAttributes)},
        {"BASS_ChannelGetAttributes", Entry<BASS_ChannelGetAttributes_t>(ChannelGetAttributes)},
        {"BASS_ChannelSetPosition", Entry<BASS_ChannelSetPosition_t>(ChannelSetPosition)},
        {"BASS_ChannelGetPosition", Entry<BASS_ChannelGetPosition_t>(ChannelGetPosition)},
        {"BASS_ChannelSetFlags", Entry<BASS_ChannelSetFlags_t>(ChannelSetFlags)},
        {"BASS_ChannelIsActive", Entry<BASS_ChannelIsActive_t>(ChannelIsActive)},
        {"BASS_ChannelSlideAttributes", Entry<BASS_ChannelSlideAttributes_t>(ChannelSlideAttributes)},
        {"BASS_ChannelIsSliding", Entry<BASS_ChannelIsSliding_t>(ChannelIsSliding)},
        {"BASS_ChannelGetLevel", Entry<BASS_ChannelGetLevel_t>(ChannelGetLevel)},
        {"BASS_ChannelSetFX", Entry<BASS_ChannelSetFX_t>(ChannelSetFX)},
        {"BASS_ChannelRemoveFX", Entry<BASS_ChannelRemoveFX_t>(ChannelRemoveFX)},
        {"BASS_ChannelGetLength", Entry<BASS_ChannelGetLength_t>(ChannelGetLength)},
        {"BASS_ChannelGetData", Entry<BASS_ChannelGetData_t>(ChannelGetData)},
        {"BASS_ChannelPreBuf", Entry<BASS_ChannelPreBuf_t>(ChannelPreBuf)},
        {"BASS_ChannelSetSync", Entry<BASS_ChannelSetSync_t>(ChannelSetSync)},
        {"BASS_ChannelRemoveSync", Entry<BASS_ChannelRemoveSync_t>(ChannelRemoveSync)},
        {"BASS_MusicLoad", Entry<BASS_MusicLoad2_t>(MusicLoad)},
        {"BASS_MusicFree", Entry<BASS_MusicFree_t>(MusicFree)},
        {"BASS_StreamCreateFile", Entry<BASS_StreamCreateFile_t>(StreamCreateFile)},
        {"BASS_StreamFree", Entry<BASS_StreamFree_t>(StreamFree)},
        {"BASS_FXSetParameters", Entry<BASS_FXSetParameters_t>(FXSetParameters)},
        {"BASS_FXGetParameters", Entry<BASS_FXGetParameters_t>(FXGetParameters)},
        {"BASS_MusicGetAttribute", Entry<BASS_MusicGetAttribute_t>(MusicGetAttribute)},
        {"BASS_MusicSetAttribute", Entry<BASS_MusicSetAttribute_t>(MusicSetAttribute)},
        {"BASS_MusicGetOrders", Entry<BASS_MusicGetOrders_t>(MusicGetOrders)},
        {"BASS_MusicGetOrderPosition", Entry<BASS_MusicGetOrderPosition_t>(MusicGetOrderPosition)},
        {"BASS_PluginLoad", Entry<BASS_PluginLoad_t>(PluginLoad)},
        {"BASS_SampleLoad", Entry<BASS_SampleLoad_t>(SampleLoad)},
        {"BASS_SampleFree", Entry<BASS_SampleFree_t>(SampleFree)},
        {"BASS_SampleSetInfo", Entry<BASS_SampleSetInfo_t>(SampleSetInfo)},
        {"BASS_SampleGetInfo", Entry<BASS_SampleGetInfo_t>(SampleGetInfo)},
        {"BASS_SampleGetChannel", Entry<BASS_SampleGetChannel_t>(SampleGetChannel)},
        {"BASS_SampleStop", Entry<BASS_SampleStop_t>(SampleStop)},
        {"BASS_ErrorGetCode", Entry<BASS_ErrorGetCode_t>(ErrorGetCode)},
    };
}

} // namespace

void RegisterAudioModules()
{
    RegisterModule("dsound.dll", {{"DirectSoundCreate", Entry<DirectSoundCreateProc>(DirectSoundCreate)}});
    RegisterModule("bass.dll", MusicLibraryEntries());
}

} // namespace Platform

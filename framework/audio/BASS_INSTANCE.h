#pragma once

#include "platform/process/Modules.h"
#include "platform/sound/MusicLibraryTypes.h"

namespace Lumo {

// The entry points of the music library ".\bass.dll", looked up by name.
// A library that exports BASS_SetConfig is driven through its 2.x interface;
// the entry points whose arguments differ between 1.x and 2.x have a field
// for each form, and the other form's field stays null.
struct BASS_INSTANCE {
    // Loads the library and looks up its entry points; a missing library or
    // required entry point is logged and leaves the instance incomplete.
    BASS_INSTANCE();
    virtual ~BASS_INSTANCE();
    BASS_INSTANCE(const BASS_INSTANCE&) = delete;
    BASS_INSTANCE& operator=(const BASS_INSTANCE&) = delete;

    // Whether the library loaded with every required entry point.
    bool IsComplete() const { return mComplete; }

    Platform::HMODULE mModule = nullptr;
    bool mVersion2 = false;

    Platform::BASS_GetVersion_t BASS_GetVersion = nullptr;
    Platform::BASS_Init1_t BASS_Init = nullptr;
    Platform::BASS_Init2_t BASS_Init2 = nullptr;
    Platform::BASS_Free_t BASS_Free = nullptr;
    Platform::BASS_Stop_t BASS_Stop = nullptr;
    Platform::BASS_Start_t BASS_Start = nullptr;
    Platform::BASS_SetGlobalVolumes_t BASS_SetGlobalVolumes = nullptr;
    Platform::BASS_SetVolume_t BASS_SetVolume = nullptr;
    Platform::BASS_GetVolume_t BASS_GetVolume = nullptr;
    Platform::BASS_GetInfo_t BASS_GetInfo = nullptr;
    Platform::BASS_SetConfig_t BASS_SetConfig = nullptr;
    Platform::BASS_GetConfig_t BASS_GetConfig = nullptr;
    Platform::BASS_ChannelStop_t BASS_ChannelStop = nullptr;
    Platform::BASS_ChannelPlay_t BASS_ChannelPlay = nullptr;
    Platform::BASS_ChannelPause_t BASS_ChannelPause = nullptr;
    Platform::BASS_ChannelSetAttributes_t BASS_ChannelSetAttributes = nullptr;
    Platform::BASS_ChannelGetAttributes_t BASS_ChannelGetAttributes = nullptr;
    Platform::BASS_ChannelSetPosition_t BASS_ChannelSetPosition = nullptr;
    Platform::BASS_ChannelGetPosition_t BASS_ChannelGetPosition = nullptr;
    Platform::BASS_ChannelSetFlags_t BASS_ChannelSetFlags = nullptr;
    Platform::BASS_ChannelIsActive_t BASS_ChannelIsActive = nullptr;
    Platform::BASS_ChannelSlideAttributes_t BASS_ChannelSlideAttributes = nullptr;
    Platform::BASS_ChannelIsSliding_t BASS_ChannelIsSliding = nullptr;
    Platform::BASS_ChannelGetLevel_t BASS_ChannelGetLevel = nullptr;
    Platform::BASS_ChannelSetFX_t BASS_ChannelSetFX = nullptr;
    Platform::BASS_ChannelRemoveFX_t BASS_ChannelRemoveFX = nullptr;
    Platform::BASS_ChannelGetLength_t BASS_ChannelGetLength = nullptr;
    Platform::BASS_ChannelGetData_t BASS_ChannelGetData = nullptr;
    Platform::BASS_ChannelPreBuf_t BASS_ChannelPreBuf = nullptr;
    Platform::BASS_ChannelSetSync_t BASS_ChannelSetSync = nullptr;
    Platform::BASS_ChannelRemoveSync_t BASS_ChannelRemoveSync = nullptr;
    Platform::BASS_MusicLoad1_t BASS_MusicLoad = nullptr;
    Platform::BASS_MusicLoad2_t BASS_MusicLoad2 = nullptr;
    Platform::BASS_MusicFree_t BASS_MusicFree = nullptr;
    Platform::BASS_StreamCreateFile_t BASS_StreamCreateFile = nullptr;
    Platform::BASS_StreamFree_t BASS_StreamFree = nullptr;
    Platform::BASS_FXSetParameters_t BASS_FXSetParameters = nullptr;
    Platform::BASS_FXGetParameters_t BASS_FXGetParameters = nullptr;
    Platform::BASS_MusicGetAttribute_t BASS_MusicGetAttribute = nullptr;
    Platform::BASS_MusicSetAttribute_t BASS_MusicSetAttribute = nullptr;
    Platform::BASS_MusicGetOrders_t BASS_MusicGetOrders = nullptr;
    Platform::BASS_MusicGetOrderPosition_t BASS_MusicGetOrderPosition = nullptr;
    Platform::BASS_PluginLoad_t BASS_PluginLoad = nullptr;
    Platform::BASS_SampleLoad_t BASS_SampleLoad = nullptr;
    Platform::BASS_SampleFree_t BASS_SampleFree = nullptr;
    Platform::BASS_SampleSetInfo_t BASS_SampleSetInfo = nullptr;
    Platform::BASS_SampleGetInfo_t BASS_SampleGetInfo = nullptr;
    Platform::BASS_SampleGetChannel_t BASS_SampleGetChannel = nullptr;
    Platform::BASS_SampleStop_t BASS_SampleStop = nullptr;
    Platform::BASS_ErrorGetCode_t BASS_ErrorGetCode = nullptr;

private:
    // Looks a name up into a field; a required one that is missing is reported.
    template <typename Shape>
    bool Find(Shape& field, const char* name, bool required);

    bool mComplete = false;
};

// A null entry point is reported in the log ("%s function not found in
// bass.dll"); the result tells whether it was there.
bool CheckBassFunction(const void* entryPoint, const char* name);

// Takes a reference on the shared instance, making it on first use. False,
// with the reason logged and no reference taken, when the library is missing
// or incomplete: the caller then plays no music.
bool LoadBassDLL();
// Drops a reference; the last one deletes the instance and unloads the library.
void FreeBassDLL();
// The shared instance, null when none is loaded.
BASS_INSTANCE* GetBassInstance();

} // namespace Lumo

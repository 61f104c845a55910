#include "framework/audio/BASS_INSTANCE.h"

#include "framework/core/AppLog.h"

#include <atomic>
#include <cstdio>

namespace Lumo {

using namespace Platform;

namespace {

std::atomic<BASS_INSTANCE*> gBass{nullptr};
std::atomic<int32_t> gBassReferences{0};

} // namespace

bool CheckBassFunction(const void* entryPoint, const char* name)
{
    if (entryPoint)
        return true;
    char text[1024];
    std::snprintf(text, sizeof(text), "%s function not found in bass.dll", name);
    AppLog::GetInstance()->Printf(AppLog::kToFile, "%s", text);
    return false;
}

template <typename Shape>
bool BASS_INSTANCE::Find(Shape& field, const char* name, bool required)
{
    field = reinterpret_cast<Shape>(GetProcAddress(mModule, name));
    return !required || CheckBassFunction(reinterpret_cast<const void*>(field), name);
}

BASS_INSTANCE::BASS_INSTANCE()
{
    mModule = LoadLibraryA(".\\bass.dll");
    if (!mModule)
        return;
    // The first missing name in this order is the one reported.
    if (!Find(BASS_Init, "BASS_Init", true) || !Find(BASS_Free, "BASS_Free", true) ||
        !Find(BASS_Stop, "BASS_Stop", true) || !Find(BASS_Start, "BASS_Start", true))
        return;
    Find(BASS_SetGlobalVolumes, "BASS_SetGlobalVolumes", false);
    Find(BASS_SetVolume, "BASS_SetVolume", false);
    if (!BASS_SetGlobalVolumes && !BASS_SetVolume) {
        AppLog::GetInstance()->Printf(AppLog::kToFile,
                                      "Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll");
        return;
    }
    Find(BASS_SetConfig, "BASS_SetConfig", false);
    Find(BASS_GetConfig, "BASS_GetConfig", false);
    if (!Find(BASS_GetVolume, "BASS_GetVolume", true) || !Find(BASS_GetInfo, "BASS_GetInfo", true) ||
        !Find(BASS_GetVersion, "BASS_GetVersion", true) || !Find(BASS_ChannelStop, "BASS_ChannelStop", true) ||
        !Find(BASS_ChannelPlay, "BASS_ChannelPlay", true) || !Find(BASS_ChannelPause, "BASS_ChannelPause", true) ||
        !Find(BASS_ChannelSetAttributes, "BASS_ChannelSetAttributes", true) ||
        !Find(BASS_ChannelGetAttributes, "BASS_ChannelGetAttributes", true) ||
        !Find(BASS_ChannelSetPosition, "BASS_ChannelSetPosition", true) ||
        !Find(BASS_ChannelGetPosition, "BASS_ChannelGetPosition", true) ||
        !Find(BASS_ChannelIsActive, "BASS_ChannelIsActive", true) ||
        !Find(BASS_ChannelSetFlags, "BASS_ChannelSetFlags", true) ||
        !Find(BASS_ChannelSlideAttributes, "BASS_ChannelSlideAttributes", true) ||
        !Find(BASS_ChannelIsSliding, "BASS_ChannelIsSliding", true) ||
        !Find(BASS_ChannelGetLevel, "BASS_ChannelGetLevel", true) ||
        !Find(BASS_ChannelSetSync, "BASS_ChannelSetSync", true) ||
        !Find(BASS_ChannelRemoveSync, "BASS_ChannelRemoveSync", true) ||
        !Find(BASS_ChannelGetData, "BASS_ChannelGetData", true) ||
        !Find(BASS_FXSetParameters, "BASS_FXSetParameters", true) ||
        !Find(BASS_FXGetParameters, "BASS_FXGetParameters", true) ||
        !Find(BASS_ChannelSetFX, "BASS_ChannelSetFX", true) ||
        !Find(BASS_ChannelRemoveFX, "BASS_ChannelRemoveFX", true) ||
        !Find(BASS_MusicLoad, "BASS_MusicLoad", true) || !Find(BASS_MusicFree, "BASS_MusicFree", true) ||
        !Find(BASS_MusicGetAttribute, "BASS_MusicGetAttribute", true) ||
        !Find(BASS_MusicSetAttribute, "BASS_MusicSetAttribute", true) ||
        !Find(BASS_StreamCreateFile, "BASS_StreamCreateFile", true) ||
        !Find(BASS_StreamFree, "BASS_StreamFree", true) ||
        !Find(BASS_MusicGetOrders, "BASS_MusicGetOrders", true) ||
        !Find(BASS_MusicGetOrderPosition, "BASS_MusicGetOrderPosition", true) ||
        !Find(BASS_SampleLoad, "BASS_SampleLoad", true) || !Find(BASS_SampleFree, "BASS_SampleFree", true) ||
        !Find(BASS_SampleSetInfo, "BASS_SampleSetInfo", true) ||
        !Find(BASS_SampleGetInfo, "BASS_SampleGetInfo", true) ||
        !Find(BASS_SampleGetChannel, "BASS_SampleGetChannel", true) ||
        !Find(BASS_SampleStop, "BASS_SampleStop", true) || !Find(BASS_ErrorGetCode, "BASS_ErrorGetCode", true))
        return;
    mVersion2 = BASS_SetConfig != nullptr;
    if (mVersion2) {
        // The same entry points, in their 2.x form.
        Find(BASS_Init2, "BASS_Init", false);
        BASS_Init = nullptr;
        Find(BASS_MusicLoad2, "BASS_MusicLoad", false);
        BASS_MusicLoad = nullptr;
        Find(BASS_PluginLoad, "BASS_PluginLoad", false);
        Find(BASS_ChannelGetLength, "BASS_ChannelGetLength", false);
        Find(BASS_ChannelPreBuf, "BASS_ChannelPreBuf", false);
    }
    mComplete = true;
}

BASS_INSTANCE::~BASS_INSTANCE()
{
    if (mModule)
        FreeLibrary(mModule);
}

bool LoadBassDLL()
{
    ++gBassReferences;
    if (!gBass.load()) {
        auto* instance = new BASS_INSTANCE();
        if (!instance->IsComplete()) {
            if (!instance->mModule)
                AppLog::GetInstance()->Printf(AppLog::kToFile, "Can't find bass.dll.");
            delete instance;
            --gBassReferences;
            return false;
        }
        gBass = instance;
    }
    return true;
}

void FreeBassDLL()
{
    BASS_INSTANCE* instance = gBass.load();
    if (!instance)
        return;
    if (--gBassReferences <= 0) {
        gBass = nullptr;
        delete instance;
    }
}

BASS_INSTANCE* GetBassInstance() { return gBass.load(); }

} // namespace Lumo

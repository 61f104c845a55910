#include "platform/sound/SystemMixer.h"

#include <atomic>

namespace Platform {

// Handles carry nothing: there is one device.
struct SystemMixerHandle {};

namespace {

constexpr uint32_t kWaveOutLineId = 1;
constexpr uint32_t kVolumeControlId = 1;

std::atomic<uint32_t> gWaveOutVolume{0xFFFF};

bool ValidDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details)
{
    return mixer && details && details->dwControlID == kVolumeControlId && details->cChannels >= 1 &&
           details->cbDetails >= sizeof(MIXERCONTROLDETAILS_UNSIGNED) && details->paDetails;
}

} // namespace

uint32_t mixerOpen(HMIXER* mixer, uint32_t deviceId, uintptr_t, uintptr_t, uint32_t)
{
    if (!mixer)
        return MMSYSERR_INVALPARAM;
    if (deviceId != 0)
        return MMSYSERR_BADDEVICEID;
    *mixer = new SystemMixerHandle;
    return MMSYSERR_NOERROR;
}

uint32_t mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, uint32_t flags)
{
    if (!mixer)
        return MMSYSERR_INVALHANDLE;
    if (!line || flags != MIXER_GETLINEINFOF_COMPONENTTYPE)
        return MMSYSERR_INVALPARAM;
    if (line->dwComponentType != MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT)
        return MIXERR_INVALLINE;
    line->dwLineID = kWaveOutLineId;
    line->cChannels = 2;
    line->cControls = 1;
    return MMSYSERR_NOERROR;
}

uint32_t mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* controls, uint32_t flags)
{
    if (!mixer)
        return MMSYSERR_INVALHANDLE;
    if (!controls || !controls->pamxctrl || flags != MIXER_GETLINECONTROLSF_ONEBYTYPE)
        return MMSYSERR_INVALPARAM;
    if (controls->dwLineID != kWaveOutLineId)
        return MIXERR_INVALLINE;
    if (controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
        return MIXERR_INVALCONTROL;
    MIXERCONTROLA& control = *controls->pamxctrl;
    control.dwControlID = kVolumeControlId;
    control.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    control.dwMinimum = 0;
    control.dwMaximum = 0xFFFF;
    return MMSYSERR_NOERROR;
}

uint32_t mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details, uint32_t)
{
    if (!ValidDetails(mixer, details))
        return MMSYSERR_INVALPARAM;
    static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue = gWaveOutVolume.load();
    return MMSYSERR_NOERROR;
}

uint32_t mixerSetControlDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details, uint32_t)
{
    if (!ValidDetails(mixer, details))
        return MMSYSERR_INVALPARAM;
    uint32_t value = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue;
    gWaveOutVolume = value > 0xFFFF ? 0xFFFF : value;
    return MMSYSERR_NOERROR;
}

uint32_t mixerClose(HMIXER mixer)
{
    if (!mixer)
        return MMSYSERR_INVALHANDLE;
    delete mixer;
    return MMSYSERR_NOERROR;
}

uint32_t GetWaveOutVolume() { return gWaveOutVolume.load(); }

} // namespace Platform

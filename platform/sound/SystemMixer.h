#pragma once

#include <cstdint>

// The system mixer calls in their winmm shape. There is one device with one
// line, the wave-out source, whose volume control holds a value inside this
// process: the desktop's own volume is never touched. The mixer scales its
// output by that value.
namespace Platform {

using HMIXER = struct SystemMixerHandle*;

constexpr uint32_t MMSYSERR_NOERROR = 0;
constexpr uint32_t MMSYSERR_BADDEVICEID = 2;
constexpr uint32_t MMSYSERR_INVALHANDLE = 5;
constexpr uint32_t MMSYSERR_INVALPARAM = 11;
constexpr uint32_t MIXERR_INVALLINE = 1024;
constexpr uint32_t MIXERR_INVALCONTROL = 1025;

constexpr uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
constexpr uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
constexpr uint32_t MIXER_GETLINEINFOF_COMPONENTTYPE = 0x3;
constexpr uint32_t MIXER_GETLINECONTROLSF_ONEBYTYPE = 0x2;
constexpr uint32_t MIXER_GETCONTROLDETAILSF_VALUE = 0x0;
constexpr uint32_t MIXER_SETCONTROLDETAILSF_VALUE = 0x0;

struct MIXERLINEA {
    uint32_t cbStruct = sizeof(MIXERLINEA);
    uint32_t dwLineID = 0;
    uint32_t dwComponentType = 0;
    uint32_t cChannels = 0;
    uint32_t cControls = 0;
};

struct MIXERCONTROLA {
    uint32_t cbStruct = sizeof(MIXERCONTROLA);
    uint32_t dwControlID = 0;
    uint32_t dwControlType = 0;
    uint32_t dwMinimum = 0;
    uint32_t dwMaximum = 0;
};

struct MIXERLINECONTROLSA {
    uint32_t cbStruct = sizeof(MIXERLINECONTROLSA);
    uint32_t dwLineID = 0;
    uint32_t dwControlType = 0;
    uint32_t cControls = 0;
    uint32_t cbmxctrl = sizeof(MIXERCONTROLA);
    MIXERCONTROLA* pamxctrl = nullptr;
};

struct MIXERCONTROLDETAILS_UNSIGNED {
    uint32_t dwValue = 0;
};

struct MIXERCONTROLDETAILS {
    uint32_t cbStruct = sizeof(MIXERCONTROLDETAILS);
    uint32_t dwControlID = 0;
    uint32_t cChannels = 0;
    uint32_t cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    void* paDetails = nullptr;
};

uint32_t mixerOpen(HMIXER* mixer, uint32_t deviceId, uintptr_t callback, uintptr_t instance, uint32_t flags);
uint32_t mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, uint32_t flags);
uint32_t mixerGetLineControlsA(HMIXER mixer, MIXERLINECONTROLSA* controls, uint32_t flags);
uint32_t mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details, uint32_t flags);
uint32_t mixerSetControlDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details, uint32_t flags);
uint32_t mixerClose(HMIXER mixer);

// The wave-out volume, 0..65535.
uint32_t GetWaveOutVolume();

} // namespace Platform

#include "framework/audio/WaveVolumeControl.h"

namespace Lumo {

using namespace Platform;

WaveVolumeControl::WaveVolumeControl()
{
    if (mixerOpen(&mMixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) {
        mMixer = nullptr;
        return;
    }
    MIXERLINEA line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    if (mixerGetLineInfoA(mMixer, &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return;
    MIXERCONTROLA control;
    MIXERLINECONTROLSA controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(mMixer, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
        return;
    mControlId = control.dwControlID;
    mFound = true;
}

WaveVolumeControl::~WaveVolumeControl()
{
    if (mMixer)
        mixerClose(mMixer);
}

uint32_t WaveVolumeControl::Read()
{
    MIXERCONTROLDETAILS_UNSIGNED value;
    if (!mFound)
        return 0;
    MIXERCONTROLDETAILS details;
    details.dwControlID = mControlId;
    details.cChannels = 1;
    details.paDetails = &value;
    mixerGetControlDetailsA(mMixer, &details, MIXER_GETCONTROLDETAILSF_VALUE);
    return value.dwValue;
}

void WaveVolumeControl::Write(uint32_t value)
{
    if (!mFound)
        return;
    MIXERCONTROLDETAILS_UNSIGNED setting{value};
    MIXERCONTROLDETAILS details;
    details.dwControlID = mControlId;
    details.cChannels = 1;
    details.paDetails = &setting;
    mixerSetControlDetails(mMixer, &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

} // namespace Lumo

#pragma once

#include "platform/sound/SystemMixer.h"

#include <cstdint>

namespace Lumo {

// The volume control of the system mixer's wave-out line, open for the
// lifetime of the object. Without a mixer, a line or a control, reads give 0
// and writes do nothing.
class WaveVolumeControl {
public:
    WaveVolumeControl();
    ~WaveVolumeControl();
    WaveVolumeControl(const WaveVolumeControl&) = delete;
    WaveVolumeControl& operator=(const WaveVolumeControl&) = delete;

    // 0..65535.
    uint32_t Read();
    void Write(uint32_t value);

private:
    Platform::HMIXER mMixer = nullptr;
    uint32_t mControlId = 0;
    bool mFound = false;
};

} // namespace Lumo

#pragma once

#include "platform/sound/MixerVoice.h"
#include "platform/sound/PcmData.h"

#include <cstdint>
#include <memory>

namespace Platform {

// Plays PCM data at its own rate into the 44.1 kHz mix, with linear
// interpolation between neighbouring frames.
class PcmVoice final : public MixerVoice {
public:
    explicit PcmVoice(std::shared_ptr<const PcmData> data);

    void Render(float* mix, uint32_t frames) override;

    // Positions are bytes of the data, rounded down to whole frames.
    void SetPositionBytes(uint32_t bytes);
    uint32_t PositionBytes() const;

private:
    float Sample(uint32_t frame, uint32_t channel) const;
    // At the end of the data: wraps when looping, else stops; false when stopped.
    bool WrapOrStop();

    std::shared_ptr<const PcmData> mData;
    uint32_t mFrames;
    // Source frames in 32.32 fixed point.
    uint64_t mPosition = 0;
    uint64_t mStep;
};

} // namespace Platform

#pragma once

#include "platform/sound/MixerVoice.h"

#include <cstdint>
#include <memory>
#include <vector>

struct openmpt_module;

namespace Platform {

// A tracker module rendered at the mixer's rate.
class ModuleVoice final : public MixerVoice {
public:
    // Null when the bytes are no module the decoder knows.
    static std::unique_ptr<ModuleVoice> Load(const void* bytes, size_t length);
    ~ModuleVoice() override;

    void Render(float* mix, uint32_t frames) override;
    void SetLooping(bool looping) override;

    void SetOrderRow(int32_t order, int32_t row);
    void SetSeconds(double seconds);
    double Seconds() const;
    double LengthSeconds() const;
    int32_t OrderCount() const;
    int32_t CurrentOrder() const;

private:
    explicit ModuleVoice(openmpt_module* module);

    openmpt_module* mModule;
    std::vector<float> mScratch;
};

} // namespace Platform

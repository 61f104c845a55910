#include "platform/sound/ModuleVoice.h"

#include "platform/sound/AudioMixer.h"

#include <libopenmpt/libopenmpt.h>

namespace Platform {

namespace {

// How far a clock-driven mixer decodes in one step; beyond it a module just lags.
constexpr uint32_t kMaxSkipFrames = AudioMixer::kRate * 10;

} // namespace

std::unique_ptr<ModuleVoice> ModuleVoice::Load(const void* bytes, size_t length)
{
    if (!bytes || length == 0)
        return nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(bytes, length, openmpt_log_func_silent, nullptr,
                                                                openmpt_error_func_ignore, nullptr, nullptr,
                                                                nullptr, nullptr);
    if (!module)
        return nullptr;
    openmpt_module_set_repeat_count(module, 0);
    return std::unique_ptr<ModuleVoice>(new ModuleVoice(module));
}

ModuleVoice::ModuleVoice(openmpt_module* module) : mModule(module) {}

ModuleVoice::~ModuleVoice() { openmpt_module_destroy(mModule); }

void ModuleVoice::SetLooping(bool looping)
{
    MixerVoice::SetLooping(looping);
    openmpt_module_set_repeat_count(mModule, looping ? -1 : 0);
}

void ModuleVoice::Render(float* mix, uint32_t frames)
{
    if (!mPlaying)
        return;
    if (!mix && frames > kMaxSkipFrames)
        frames = kMaxSkipFrames;
    mScratch.resize(size_t(frames) * 2);
    size_t done = openmpt_module_read_interleaved_float_stereo(mModule, int32_t(AudioMixer::kRate), frames,
                                                               mScratch.data());
    if (mix) {
        // The decoder gives full scale as 1.0; the mix counts in 16-bit steps.
        for (size_t i = 0; i < done; ++i) {
            mix[2 * i] += mScratch[2 * i] * 32767.0f * mLeftGain;
            mix[2 * i + 1] += mScratch[2 * i + 1] * 32767.0f * mRightGain;
        }
    }
    if (done < frames)
        mPlaying = false;
}

void ModuleVoice::SetOrderRow(int32_t order, int32_t row) { openmpt_module_set_position_order_row(mModule, order, row); }

void ModuleVoice::SetSeconds(double seconds) { openmpt_module_set_position_seconds(mModule, seconds); }

double ModuleVoice::Seconds() const { return openmpt_module_get_position_seconds(mModule); }

double ModuleVoice::LengthSeconds() const { return openmpt_module_get_duration_seconds(mModule); }

int32_t ModuleVoice::OrderCount() const { return openmpt_module_get_num_orders(mModule); }

int32_t ModuleVoice::CurrentOrder() const { return openmpt_module_get_current_order(mModule); }

} // namespace Platform

#include "platform/sound/PcmVoice.h"

#include "platform/sound/AudioMixer.h"

#include <cstring>

namespace Platform {

PcmVoice::PcmVoice(std::shared_ptr<const PcmData> data)
    : mData(std::move(data)), mFrames(mData->FrameCount()),
      mStep((uint64_t(mData->format.nSamplesPerSec) << 32) / AudioMixer::kRate)
{
}

void PcmVoice::SetPositionBytes(uint32_t bytes)
{
    uint32_t frame = mData->format.nBlockAlign ? bytes / mData->format.nBlockAlign : 0;
    mPosition = uint64_t(frame < mFrames ? frame : mFrames) << 32;
}

uint32_t PcmVoice::PositionBytes() const { return uint32_t(mPosition >> 32) * mData->format.nBlockAlign; }

float PcmVoice::Sample(uint32_t frame, uint32_t channel) const
{
    const WAVEFORMATEX& format = mData->format;
    size_t offset = size_t(frame) * format.nBlockAlign;
    if (format.nChannels == 2)
        offset += channel * (format.wBitsPerSample / 8);
    if (format.wBitsPerSample == 8)
        return float((int32_t(mData->bytes[offset]) - 128) * 256);
    int16_t value;
    std::memcpy(&value, &mData->bytes[offset], sizeof(value));
    return float(value);
}

bool PcmVoice::WrapOrStop()
{
    uint64_t end = uint64_t(mFrames) << 32;
    if (mPosition < end)
        return true;
    if (mLooping && mFrames > 0) {
        mPosition %= end;
        return true;
    }
    mPosition = end;
    mPlaying = false;
    return false;
}

void PcmVoice::Render(float* mix, uint32_t frames)
{
    if (!mPlaying)
        return;
    if (!mix) {
        // Whole chunks keep the product below 2^64 for any rate a buffer accepts.
        constexpr uint32_t kChunk = 1u << 16;
        while (frames > 0 && WrapOrStop()) {
            uint32_t part = frames < kChunk ? frames : kChunk;
            mPosition += mStep * part;
            frames -= part;
        }
        WrapOrStop();
        return;
    }
    for (uint32_t i = 0; i < frames; ++i) {
        if (!WrapOrStop())
            return;
        uint32_t frame = uint32_t(mPosition >> 32);
        float fraction = float(uint32_t(mPosition)) * (1.0f / 4294967296.0f);
        uint32_t next = frame + 1;
        if (next >= mFrames)
            next = mLooping ? 0 : frame;
        float left = Sample(frame, 0);
        float right = Sample(frame, 1);
        if (fraction != 0.0f) {
            left += (Sample(next, 0) - left) * fraction;
            right += (Sample(next, 1) - right) * fraction;
        }
        mix[2 * i] += left * mLeftGain;
        mix[2 * i + 1] += right * mRightGain;
        mPosition += mStep;
    }
}

} // namespace Platform

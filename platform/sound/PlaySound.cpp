#include "platform/sound/PlaySound.h"

#include "platform/sound/AudioMixer.h"
#include "platform/sound/AudioOutput.h"
#include "platform/sound/PcmVoice.h"
#include "platform/sound/WavReader.h"
#include "platform/storage/Files.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace Platform {

namespace {

// A system sound is short; nothing larger is read.
constexpr uint64_t kLargestSound = 16 * 1024 * 1024;

// The sound the last call started; with the mixer's lock held. Never freed at
// exit, where the output device may still be mixing it.
PcmVoice* gVoice = nullptr;

// The system's default sound: a short chime dying away.
std::shared_ptr<const PcmData> DefaultSound()
{
    static const std::shared_ptr<const PcmData> chime = [] {
        constexpr uint32_t kFrames = AudioMixer::kRate * 3 / 20;
        constexpr double kPitch = 880.0;
        auto data = std::make_shared<PcmData>();
        data->format.wFormatTag = WAVE_FORMAT_PCM;
        data->format.nChannels = 1;
        data->format.nSamplesPerSec = AudioMixer::kRate;
        data->format.wBitsPerSample = 16;
        data->format.nBlockAlign = 2;
        data->format.nAvgBytesPerSec = AudioMixer::kRate * 2;
        data->bytes.resize(kFrames * 2);
        for (uint32_t i = 0; i < kFrames; ++i) {
            const double fade = 1.0 - double(i) / kFrames;
            const auto sample = int16_t(std::lround(
                9000.0 * fade * std::sin(2.0 * M_PI * kPitch * double(i) / AudioMixer::kRate)));
            std::memcpy(&data->bytes[size_t(i) * 2], &sample, sizeof(sample));
        }
        return data;
    }();
    return chime;
}

std::shared_ptr<const PcmData> ReadSound(const char* name)
{
    std::string bytes;
    if (ReadWholeFile(NativePath(name), kLargestSound, &bytes) != WholeFile::Read)
        return nullptr;
    return WavReader::Read(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

} // namespace

bool PlaySoundA(const char* sound, HMODULE, uint32_t flags)
{
    std::shared_ptr<const PcmData> data;
    if (sound) {
        data = ReadSound(sound);
        if (!data && !(flags & SND_NODEFAULT))
            data = DefaultSound();
    }
    AudioOutput::Start();
    AudioMixer& mixer = AudioMixer::Get();
    const auto lock = mixer.Acquire();
    if (gVoice) {
        mixer.Remove(gVoice);
        delete gVoice;
        gVoice = nullptr;
    }
    if (!data)
        return !sound;
    gVoice = new PcmVoice(data);
    gVoice->SetPlaying(true);
    mixer.Add(gVoice);
    return true;
}

} // namespace Platform

#include "platform/sound/AudioOutput.h"

#include "platform/sound/AlsaMessages.h"
#include "platform/sound/AudioMixer.h"
#include "platform/backends/BackendChoice.h"
#include "platform/process/Log.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

namespace Platform {

namespace {

std::once_flag gStartOnce;
std::atomic<bool> gHasDevice{false};
SDL_AudioDeviceID gDevice = 0;

void FillDevice(void*, Uint8* stream, int length)
{
    AudioMixer::Get().Mix(reinterpret_cast<int16_t*>(stream), uint32_t(length) / (2 * AudioMixer::kChannels));
}

// Runs at exit before the mixer goes, so the callback never mixes into a destroyed mixer.
void CloseDevice()
{
    SDL_CloseAudioDevice(gDevice);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Says once why nothing is heard: SDL's reason, with ALSA's first report behind it.
void LogNoSound()
{
    std::string line = std::string("No sound: ") + SDL_GetError();
    const std::string alsa = TakeFirstAlsaMessage();
    if (!alsa.empty())
        line += "; ALSA's first report: " + alsa;
    LogLine(line);
}

bool OpenDevice()
{
    QuietAlsaMessages();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LogNoSound();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = int(AudioMixer::kRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = uint8_t(AudioMixer::kChannels);
    wanted.samples = 1024;
    wanted.callback = FillDevice;
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (gDevice == 0) {
        LogNoSound();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    AudioMixer::Get().SetClockDriven(false);
    std::atexit(CloseDevice);
    SDL_PauseAudioDevice(gDevice, 0);
    return true;
}

} // namespace

void AudioOutput::Start()
{
    std::call_once(gStartOnce, [] { gHasDevice = ChosenBackend() == BackendKind::Sdl && OpenDevice(); });
}

bool AudioOutput::HasDevice() { return gHasDevice.load(); }

} // namespace Platform

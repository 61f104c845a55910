// The cost of mixing one second of output with 32 sound instances and one
// tracker module playing, reported as a fraction of real time.
#include "platform/sound/AudioMixer.h"
#include "platform/sound/AudioModules.h"
#include "platform/sound/IDirectSound.h"
#include "platform/sound/MixerDirectSound.h"
#include "platform/process/Modules.h"
#include "platform/sound/MusicLibraryTypes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using namespace Platform;

constexpr int kInstances = 32;
constexpr uint32_t kBlock = 1024;

void MixOneSecond(benchmark::State& state)
{
    IDirectSound* sound = nullptr;
    DirectSoundCreate(nullptr, &sound, nullptr);
    sound->SetCooperativeLevel(reinterpret_cast<HWND>(uintptr_t(1)), DSSCL_PRIORITY);
    // Mixed layouts and rates, so that conversion and resampling are part of the cost.
    std::vector<IDirectSoundBuffer*> buffers;
    for (int i = 0; i < kInstances; ++i) {
        WAVEFORMATEX format;
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = uint16_t(1 + i % 2);
        format.nSamplesPerSec = i % 3 == 0 ? 44100 : 22050;
        format.wBitsPerSample = i % 4 == 0 ? 8 : 16;
        DSBUFFERDESC desc;
        desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
        desc.dwBufferBytes = format.nSamplesPerSec * format.nChannels * format.wBitsPerSample / 8 / 4;
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        sound->CreateSoundBuffer(&desc, &buffer, nullptr);
        void* data = nullptr;
        uint32_t bytes = 0;
        buffer->Lock(0, desc.dwBufferBytes, &data, &bytes, nullptr, nullptr, 0);
        for (uint32_t b = 0; b < bytes; ++b)
            static_cast<uint8_t*>(data)[b] = uint8_t(128 + 60 * std::sin(b * 0.05));
        buffer->Unlock(data, bytes, nullptr, 0);
        buffer->SetVolume(-300);
        buffer->SetPan((i % 5 - 2) * 1000);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(buffer);
    }

    RegisterAudioModules();
    HMODULE library = LoadLibraryA(".\\bass.dll");
    reinterpret_cast<BASS_Init2_t>(GetProcAddress(library, "BASS_Init"))(1, 44100, 0, nullptr, nullptr);
    std::ifstream file(LUMO_MODULE_FILE, std::ios::binary);
    std::vector<char> module((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    HMUSIC music = reinterpret_cast<BASS_MusicLoad2_t>(GetProcAddress(library, "BASS_MusicLoad"))(
        1, module.data(), 0, DWORD(module.size()), BASS_SAMPLE_LOOP, 0);
    reinterpret_cast<BASS_ChannelPlay_t>(GetProcAddress(library, "BASS_ChannelPlay"))(music, 1);

    std::vector<int16_t> out(kBlock * 2);
    for (auto _ : state) {
        for (uint32_t done = 0; done < AudioMixer::kRate; done += kBlock)
            AudioMixer::Get().Mix(out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    // Seconds of work per second of sound: below 1 keeps up with the device.
    state.counters["fraction_of_real_time"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);

    reinterpret_cast<BASS_Free_t>(GetProcAddress(library, "BASS_Free"))();
    FreeLibrary(library);
    for (IDirectSoundBuffer* buffer : buffers)
        buffer->Release();
    sound->Release();
}

BENCHMARK(MixOneSecond)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

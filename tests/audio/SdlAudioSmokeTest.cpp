#include "platform/sound/AudioModules.h"
#include "platform/sound/AudioOutput.h"
#include "platform/sound/IDirectSound.h"
#include "platform/sound/MixerDirectSound.h"
#include "platform/process/Modules.h"
#include "platform/sound/MusicLibraryTypes.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using namespace Platform;

// Plays a tone and the tracker module through a real output device. Needs
// the sdl backend and a device; skipped anywhere else.
TEST(SdlAudioSmoke, PlaysASoundAndAModuleOnTheDevice)
{
    setenv("LUMO_PLATFORM", "sdl", 1);
    AudioOutput::Start();
    if (!AudioOutput::HasDevice())
        GTEST_SKIP() << "no audio output device";

    IDirectSound* sound = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
    sound->SetCooperativeLevel(LumoTest::TestWindow(), DSSCL_PRIORITY);
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    DSBUFFERDESC desc;
    desc.dwFlags = DSBCAPS_STATIC;
    desc.dwBufferBytes = 22050 / 5 * 2;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* tone = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &tone, nullptr), DS_OK);
    void* data = nullptr;
    uint32_t bytes = 0;
    ASSERT_EQ(tone->Lock(0, desc.dwBufferBytes, &data, &bytes, nullptr, nullptr, 0), DS_OK);
    auto* samples = static_cast<int16_t*>(data);
    for (uint32_t i = 0; i < bytes / 2; ++i)
        samples[i] = int16_t(8000.0 * std::sin(2.0 * M_PI * 440.0 * i / 22050.0));
    tone->Unlock(data, bytes, nullptr, 0);
    ASSERT_EQ(tone->Play(0, 0, 0), DS_OK);

    RegisterAudioModules();
    HMODULE library = LoadLibraryA(".\\bass.dll");
    auto init = reinterpret_cast<BASS_Init2_t>(GetProcAddress(library, "BASS_Init"));
    auto load = reinterpret_cast<BASS_MusicLoad2_t>(GetProcAddress(library, "BASS_MusicLoad"));
    auto play = reinterpret_cast<BASS_ChannelPlay_t>(GetProcAddress(library, "BASS_ChannelPlay"));
    auto active = reinterpret_cast<BASS_ChannelIsActive_t>(GetProcAddress(library, "BASS_ChannelIsActive"));
    auto freeLibrary = reinterpret_cast<BASS_Free_t>(GetProcAddress(library, "BASS_Free"));
    ASSERT_TRUE(init(1, 44100, 0, LumoTest::TestWindow(), nullptr));
    std::string module = LumoTest::ReadFile(LumoTest::FixturePath("audio/tune.mod"));
    HMUSIC music = load(1, module.data(), 0, DWORD(module.size()), 0x204, 0);
    ASSERT_NE(music, 0u);
    play(music, 1);

    // The device pulls the mix on its own thread: the 0.2 s tone ends while the module plays on.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    uint32_t status = 1;
    tone->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(active(music), BASS_ACTIVE_PLAYING);

    freeLibrary();
    FreeLibrary(library);
    tone->Release();
    sound->Release();
}

} // namespace

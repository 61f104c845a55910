#include "platform/sound/AudioMixer.h"
#include "platform/sound/AudioModules.h"
#include "platform/sound/IDirectSound.h"
#include "platform/sound/MixerDirectSound.h"
#include "platform/sound/PlaySound.h"
#include "platform/sound/SystemMixer.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace Platform;

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(DirectSoundCreate(nullptr, &mSound, nullptr), DS_OK);
        mSound->SetCooperativeLevel(LumoTest::TestWindow(), DSSCL_PRIORITY);
    }
    void TearDown() override
    {
        for (IDirectSoundBuffer* buffer : mBuffers)
            buffer->Release();
        mSound->Release();
    }

    IDirectSoundBuffer* MakeBuffer(uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<uint8_t>& bytes)
    {
        WAVEFORMATEX format;
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = channels;
        format.nSamplesPerSec = rate;
        format.wBitsPerSample = bits;
        DSBUFFERDESC desc;
        desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
        desc.dwBufferBytes = uint32_t(bytes.size());
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        void* data = nullptr;
        uint32_t length = 0;
        EXPECT_EQ(buffer->Lock(0, desc.dwBufferBytes, &data, &length, nullptr, nullptr, 0), DS_OK);
        std::memcpy(data, bytes.data(), length);
        EXPECT_EQ(buffer->Unlock(data, length, nullptr, 0), DS_OK);
        mBuffers.push_back(buffer);
        return buffer;
    }

    IDirectSoundBuffer* ConstantMono16(int16_t value, uint32_t frames)
    {
        std::string bytes = LumoTest::Samples16(std::vector<int16_t>(frames, value));
        return MakeBuffer(1, 44100, 16, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }

    std::vector<int16_t> Mix(uint32_t frames)
    {
        std::vector<int16_t> out(frames * 2);
        AudioMixer::Get().Mix(out.data(), frames);
        return out;
    }

    FakeClock mClock{5'000'000};
    ScopedClock mScopedClock{&mClock};
    IDirectSound* mSound = nullptr;
    std::vector<IDirectSoundBuffer*> mBuffers;
};

TEST_F(MixerTest, AppliesVolumeAndPanToAKnownBuffer)
{
    struct Case {
        int32_t volume;
        int32_t pan;
        int16_t left;
        int16_t right;
    };
    const Case cases[] = {
        {0, 0, 1000, 1000},     {-600, 0, 501, 501},  {0, 2000, 100, 1000}, {0, -2000, 1000, 100},
        {0, 10000, 0, 1000},    {-10000, 0, 0, 0},    {500, 0, 1000, 1000}, // louder than full plays at full
    };
    IDirectSoundBuffer* buffer = ConstantMono16(1000, 64);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    for (const Case& c : cases) {
        EXPECT_EQ(buffer->SetVolume(c.volume), DS_OK);
        EXPECT_EQ(buffer->SetPan(c.pan), DS_OK);
        std::vector<int16_t> out = Mix(1);
        EXPECT_EQ(out[0], c.left) << "volume " << c.volume << " pan " << c.pan;
        EXPECT_EQ(out[1], c.right) << "volume " << c.volume << " pan " << c.pan;
    }
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
}

TEST_F(MixerTest, ConvertsEightBitStereoAndResamplesLinearly)
{
    // Two frames at half the output rate: (+10, -10) then (+20, -20) in 8-bit steps.
    IDirectSoundBuffer* buffer = MakeBuffer(2, 22050, 8, {138, 118, 148, 108});
    buffer->Play(0, 0, 0);
    std::vector<int16_t> out = Mix(5);
    const int16_t expected[] = {2560, -2560, 3840, -3840, 5120, -5120, 5120, -5120, 0, 0};
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(out[i], expected[i]) << "sample " << i;
    uint32_t status = 1;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u) << "a one-shot stops at its end";
}

// The system's one-call player: a file plays its own samples, in place of the
// sound before it; a file that cannot be played gives the default sound,
// unless that is refused too.
TEST_F(MixerTest, PlaySoundPlaysAFileOrTheDefaultSound)
{
    LumoTest::TempFolder folder;
    folder.Write("tone.wav", LumoTest::WavBytes()
                                 .Format(1, 1, 44100, 16)
                                 .Chunk("data", LumoTest::Samples16(std::vector<int16_t>(4410, 1000)))
                                 .Bytes());
    folder.Write("broken.wav", "RIFF");
    const auto silent = [](const std::vector<int16_t>& mix) {
        return std::all_of(mix.begin(), mix.end(), [](int16_t sample) { return sample == 0; });
    };
    const auto steady = [](const std::vector<int16_t>& mix) {
        return std::all_of(mix.begin(), mix.end(), [&](int16_t sample) { return sample == mix[0]; });
    };

    EXPECT_TRUE(PlaySoundA((folder / "tone.wav").c_str(), nullptr, SND_ASYNC));
    std::vector<int16_t> mix = Mix(64);
    EXPECT_TRUE(steady(mix) && mix[0] > 0) << mix[0];
    for (const std::string& missing : {folder / "missing.wav", folder / "broken.wav"}) {
        EXPECT_TRUE(PlaySoundA(missing.c_str(), nullptr, SND_ASYNC));
        mix = Mix(64);
        EXPECT_FALSE(silent(mix) || steady(mix)) << missing;
        EXPECT_FALSE(PlaySoundA(missing.c_str(), nullptr, SND_ASYNC | SND_NODEFAULT));
        EXPECT_TRUE(silent(Mix(64))) << missing;
    }
    PlaySoundA((folder / "tone.wav").c_str(), nullptr, SND_ASYNC);
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
    EXPECT_TRUE(silent(Mix(64)));
}

TEST_F(MixerTest, ASilentDeviceEndsOneShotsOnTheClock)
{
    IDirectSoundBuffer* once = ConstantMono16(1000, 441); // 10 ms
    IDirectSoundBuffer* loop = ConstantMono16(1000, 441);
    once->Play(0, 0, 0);
    loop->Play(0, 0, DSBPLAY_LOOPING);
    uint32_t status = 0;
    mClock.AdvanceMillis(9);
    once->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    mClock.AdvanceMillis(2);
    once->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    mClock.AdvanceMillis(60'000);
    loop->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
}

TEST_F(MixerTest, DuplicatesShareTheDataAndPlayOnTheirOwn)
{
    IDirectSoundBuffer* original = ConstantMono16(1000, 64);
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(mSound->DuplicateSoundBuffer(original, &copy), DS_OK);
    mBuffers.push_back(copy);
    copy->SetVolume(-600);
    copy->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Mix(1)[0], 501);
    original->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Mix(1)[0], 1501);
}

TEST_F(MixerTest, SystemWaveVolumeScalesTheOutput)
{
    IDirectSoundBuffer* buffer = ConstantMono16(1000, 64);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    HMIXER mixer = nullptr;
    ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
    MIXERCONTROLDETAILS_UNSIGNED value{32767};
    MIXERCONTROLDETAILS details;
    details.dwControlID = 1;
    details.cChannels = 1;
    details.paDetails = &value;
    ASSERT_EQ(mixerSetControlDetails(mixer, &details, MIXER_SETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
    EXPECT_EQ(Mix(1)[0], 500);
    value.dwValue = 0xFFFF;
    mixerSetControlDetails(mixer, &details, MIXER_SETCONTROLDETAILSF_VALUE);
    mixerClose(mixer);
}

TEST_F(MixerTest, RefusesBuffersItCannotPlay)
{
    WAVEFORMATEX format;
    format.wFormatTag = 3;
    format.nChannels = 1;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    DSBUFFERDESC desc;
    desc.dwFlags = DSBCAPS_STATIC;
    desc.dwBufferBytes = 16;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.wBitsPerSample = 12;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format.wBitsPerSample = 16;
    desc.dwBufferBytes = 0;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);
}

} // namespace

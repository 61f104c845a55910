#include "framework/audio/SoundManager.h"

#include "framework/core/AppLog.h"
#include "platform/sound/AudioMixer.h"
#include "platform/sound/AudioModules.h"
#include "platform/sound/MixerDirectSound.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;
using Lumo::SoundInstance;
using Lumo::SoundManager;
using LumoTest::TestWindow;

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterAudioModules();
        mModule = LoadLibraryA("dsound.dll");
    }
    void TearDown() override { FreeLibrary(mModule); }

    // A 16-bit mono sound at 44.1 kHz of frames equal samples; returns its name without extension.
    std::string WriteSound(const std::string& name, uint32_t frames, int16_t value = 1000)
    {
        mFolder.Write(name + ".wav", LumoTest::WavBytes()
                                         .Format(1, 1, 44100, 16)
                                         .Chunk("data", LumoTest::Samples16(std::vector<int16_t>(frames, value)))
                                         .Bytes());
        return mFolder / name;
    }

    int16_t MixLeft()
    {
        int16_t out[2] = {};
        AudioMixer::Get().Mix(out, 1);
        return out[0];
    }

    FakeClock mClock{1'000'000};
    ScopedClock mScopedClock{&mClock};
    LumoTest::TempFolder mFolder;
    HMODULE mModule = nullptr;
};

TEST_F(SoundManagerTest, SlotsRunOutAndEndedOneShotsAreReclaimed)
{
    SoundManager manager(TestWindow(), mModule);
    ASSERT_TRUE(manager.LoadSound(3, WriteSound("tick", 441)));
    for (int32_t i = 0; i < SoundManager::kMaxInstances; ++i) {
        SoundInstance* instance = manager.GetSoundInstance(3);
        ASSERT_NE(instance, nullptr);
        EXPECT_TRUE(instance->Play(false));
    }
    EXPECT_EQ(manager.GetSoundInstance(3), nullptr);
    mClock.AdvanceMillis(5);
    EXPECT_EQ(manager.GetSoundInstance(3), nullptr) << "still playing";
    mClock.AdvanceMillis(6);
    EXPECT_NE(manager.GetSoundInstance(3), nullptr);
}

TEST_F(SoundManagerTest, NeverPlayedInstancesKeepTheirSlots)
{
    SoundManager manager(TestWindow(), mModule);
    ASSERT_TRUE(manager.LoadSound(0, WriteSound("tick", 441)));
    for (int32_t i = 0; i < SoundManager::kMaxInstances; ++i)
        ASSERT_NE(manager.GetSoundInstance(0), nullptr);
    mClock.AdvanceMillis(5000);
    EXPECT_EQ(manager.GetSoundInstance(0), nullptr);
}

TEST_F(SoundManagerTest, StopAllReclaimsPlayedLoopsButNotHandStoppedOnes)
{
    SoundManager manager(TestWindow(), mModule);
    ASSERT_TRUE(manager.LoadSound(1, WriteSound("hum", 4410)));
    SoundInstance* played = manager.GetSoundInstance(1);
    SoundInstance* stopped = manager.GetSoundInstance(1);
    played->Play(true);
    stopped->Play(true);
    stopped->Stop();
    manager.StopAllSounds();
    EXPECT_FALSE(played->IsPlaying());
    EXPECT_TRUE(played->IsReleased());
    EXPECT_FALSE(stopped->IsReleased());
}

TEST_F(SoundManagerTest, MasterAndBaseVolumesReachPlayingInstances)
{
    SoundManager manager(TestWindow(), mModule);
    ASSERT_TRUE(manager.LoadSound(2, WriteSound("hum", 4410)));
    SoundInstance* instance = manager.GetSoundInstance(2);
    instance->Play(true);
    EXPECT_EQ(MixLeft(), 1000);
    manager.SetMasterVolume(0.5f); // -605 hundredths of a decibel
    EXPECT_EQ(MixLeft(), 498);
    manager.SetMasterVolume(0.0f);
    EXPECT_EQ(MixLeft(), 0);
    manager.SetMasterVolume(1.0f);
    manager.SetBaseVolume(2, 0.04f);
    EXPECT_EQ(MixLeft(), 1000) << "instances keep the base volume they were made with";
    SoundInstance* quiet = manager.GetSoundInstance(2);
    instance->Stop();
    quiet->Play(true);
    EXPECT_EQ(MixLeft(), 0);
}

TEST_F(SoundManagerTest, VolumesAboveFullPlayAtFull)
{
    SoundManager manager(TestWindow(), mModule);
    ASSERT_TRUE(manager.LoadSound(2, WriteSound("hum", 4410)));
    manager.SetMasterVolume(2.0f);
    manager.GetSoundInstance(2)->Play(true);
    EXPECT_EQ(MixLeft(), 1000);
}

TEST_F(SoundManagerTest, IdsBeyondTheTableAreRefused)
{
    SoundManager manager(TestWindow(), mModule);
    std::string name = WriteSound("tick", 441);
    EXPECT_TRUE(manager.LoadSound(255, name));
    EXPECT_NE(manager.GetSoundInstance(255), nullptr);
    EXPECT_FALSE(manager.LoadSound(256, name));
    EXPECT_EQ(manager.GetSoundInstance(256), nullptr);
    EXPECT_FALSE(manager.SetBaseVolume(256, 1.0f));
    EXPECT_EQ(manager.GetSoundInstance(7), nullptr) << "not loaded";
    EXPECT_EQ(manager.GetLoadedSoundCount(), 1);
}

TEST_F(SoundManagerTest, WithoutAWindowEverythingIsSilentButWorks)
{
    SoundManager manager(nullptr, mModule);
    EXPECT_TRUE(manager.LoadSound(4, WriteSound("tick", 441)));
    EXPECT_EQ(manager.GetLoadedSoundCount(), 0);
    SoundInstance* instance = manager.GetSoundInstance(4);
    ASSERT_NE(instance, nullptr);
    EXPECT_FALSE(instance->Play(false));
    EXPECT_TRUE(instance->IsReleased());
}

// A device whose duplicates always fail.
class FailingDirectSound final : public MixerDirectSound {
public:
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer*, IDirectSoundBuffer** duplicate) override
    {
        *duplicate = nullptr;
        return DSERR_OUTOFMEMORY;
    }
};

HRESULT CreateFailingDirectSound(const void*, IDirectSound** sound, void*)
{
    *sound = new FailingDirectSound();
    return DS_OK;
}

TEST_F(SoundManagerTest, FailedDuplicationGivesNoInstanceAndIsLogged)
{
    Lumo::AppLog::GetInstance()->Open(mFolder.Path() + "/");
    RegisterModule("faildsound.dll",
                   {{"DirectSoundCreate", reinterpret_cast<FARPROC>(&CreateFailingDirectSound)}});
    HMODULE failing = LoadLibraryA("faildsound.dll");
    {
        SoundManager manager(TestWindow(), failing);
        ASSERT_TRUE(manager.LoadSound(5, WriteSound("tick", 441)));
        EXPECT_EQ(manager.GetSoundInstance(5), nullptr);
        EXPECT_NE(manager.FindFreeInstanceSlot(), -1) << "the slot stays free";
    }
    FreeLibrary(failing);
    UnregisterModule("faildsound.dll");
    Lumo::AppLog::GetInstance()->Close();
    EXPECT_NE(LumoTest::ReadFile(mFolder / "applog.txt").find("Sound duplication failed: DSERR_OUTOFMEMORY"),
              std::string::npos);
}

TEST_F(SoundManagerTest, WaveMixerVolumeIsKeptInsideTheProcess)
{
    SoundManager manager(TestWindow(), mModule);
    manager.SetWaveMixerVolume(0.5f);
    EXPECT_FLOAT_EQ(manager.GetWaveMixerVolume(), 32767.0f / 65535.0f);
    manager.SetWaveMixerVolume(1.5f);
    EXPECT_FLOAT_EQ(manager.GetWaveMixerVolume(), 1.0f);
}

} // namespace

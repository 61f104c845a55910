#include "platform/sound/AudioMixer.h"
#include "platform/sound/AudioModules.h"
#include "platform/process/Modules.h"
#include "platform/sound/MusicLibraryTypes.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace Platform;

// The library as the program sees it: through the registered module.
class MusicLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterAudioModules();
        mModule = LoadLibraryA(".\\bass.dll");
        ASSERT_NE(mModule, nullptr);
        Get(mInit, "BASS_Init");
        Get(mFree, "BASS_Free");
        Get(mMusicLoad, "BASS_MusicLoad");
        Get(mStream, "BASS_StreamCreateFile");
        Get(mPlay, "BASS_ChannelPlay");
        Get(mPause, "BASS_ChannelPause");
        Get(mStop, "BASS_ChannelStop");
        Get(mActive, "BASS_ChannelIsActive");
        Get(mAttributes, "BASS_ChannelSetAttributes");
        Get(mLength, "BASS_ChannelGetLength");
        Get(mError, "BASS_ErrorGetCode");
        Get(mSetPosition, "BASS_ChannelSetPosition");
        Get(mGetPosition, "BASS_ChannelGetPosition");
        ASSERT_TRUE(mInit(1, 44100, 0, LumoTest::TestWindow(), nullptr));
    }
    void TearDown() override
    {
        mFree();
        FreeLibrary(mModule);
    }

    template <typename Shape>
    void Get(Shape& field, const char* name)
    {
        field = reinterpret_cast<Shape>(GetProcAddress(mModule, name));
        ASSERT_NE(field, nullptr) << name;
    }

    std::vector<int16_t> Mix(uint32_t frames)
    {
        std::vector<int16_t> out(frames * 2);
        AudioMixer::Get().Mix(out.data(), frames);
        return out;
    }

    FakeClock mClock{1'000'000};
    ScopedClock mScopedClock{&mClock};
    LumoTest::TempFolder mFolder;
    HMODULE mModule = nullptr;
    BASS_Init2_t mInit = nullptr;
    BASS_Free_t mFree = nullptr;
    BASS_MusicLoad2_t mMusicLoad = nullptr;
    BASS_StreamCreateFile_t mStream = nullptr;
    BASS_ChannelPlay_t mPlay = nullptr;
    BASS_ChannelPause_t mPause = nullptr;
    BASS_ChannelStop_t mStop = nullptr;
    BASS_ChannelIsActive_t mActive = nullptr;
    BASS_ChannelSetAttributes_t mAttributes = nullptr;
    BASS_ChannelGetLength_t mLength = nullptr;
    BASS_ErrorGetCode_t mError = nullptr;
    BASS_ChannelSetPosition_t mSetPosition = nullptr;
    BASS_ChannelGetPosition_t mGetPosition = nullptr;
};

TEST_F(MusicLibraryTest, PlaysATrackerModuleIntoTheMix)
{
    std::string module = LumoTest::ReadFile(LumoTest::FixturePath("audio/tune.mod"));
    HMUSIC music = mMusicLoad(1, module.data(), 0, DWORD(module.size()), 0x204, 0);
    ASSERT_NE(music, 0u);
    EXPECT_EQ(mActive(music), BASS_ACTIVE_STOPPED);
    mPlay(music, 1);
    EXPECT_EQ(mActive(music), BASS_ACTIVE_PLAYING);
    std::vector<int16_t> out = Mix(4410);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](int16_t sample) { return sample != 0; }));
    mPause(music);
    EXPECT_EQ(mActive(music), BASS_ACTIVE_PAUSED);
    out = Mix(64);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t sample) { return sample == 0; }));
    mStop(music);
    EXPECT_EQ(mActive(music), BASS_ACTIVE_STOPPED);
    EXPECT_TRUE(mSetPosition(music, QWORD(int64_t(int32_t(0x80000000)))));
    EXPECT_FALSE(mSetPosition(music, QWORD(int64_t(int32_t(0x80000005))))) << "the tune has one order";
}

TEST_F(MusicLibraryTest, RefusesModulesItCannotRead)
{
    std::string module = LumoTest::ReadFile(LumoTest::FixturePath("audio/tune.mod"));
    EXPECT_EQ(mMusicLoad(1, module.data(), 0, 0, 0x204, 0), 0u);
    EXPECT_EQ(mError(), BASS_ERROR_ILLPARAM);
    std::string junk(600, '\x7f');
    EXPECT_EQ(mMusicLoad(1, junk.data(), 0, DWORD(junk.size()), 0x204, 0), 0u);
    EXPECT_EQ(mError(), BASS_ERROR_FILEFORM);
}

TEST_F(MusicLibraryTest, StreamsWavAndOggFilesFromDisk)
{
    mFolder.Write("level.wav", LumoTest::WavBytes()
                                   .Format(1, 1, 44100, 16)
                                   .Chunk("data", LumoTest::Samples16(std::vector<int16_t>(100, 1000)))
                                   .Bytes());
    HSTREAM wav = mStream(0, (mFolder / "level.wav").c_str(), 0, 0, 0);
    ASSERT_NE(wav, 0u);
    EXPECT_EQ(mLength(wav), 200u);
    mAttributes(wav, -1, 50, -101);
    mPlay(wav, 1);
    EXPECT_EQ(Mix(1)[0], 500);
    EXPECT_TRUE(mSetPosition(wav, 100));
    EXPECT_EQ(mGetPosition(wav), 100u);
    EXPECT_FALSE(mSetPosition(wav, 202));

    HSTREAM ogg = mStream(0, LumoTest::FixturePath("audio/tone.ogg").c_str(), 0, 0, 0);
    ASSERT_NE(ogg, 0u);
    EXPECT_EQ(mLength(ogg), 4410u * 2u);

    mFolder.Write("noise.mp3", std::string(300, '\x11'));
    EXPECT_EQ(mStream(0, (mFolder / "noise.mp3").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(mStream(0, (mFolder / "missing.ogg").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(mError(), BASS_ERROR_FILEOPEN);
}

} // namespace

#include "framework/audio/SoundManager.h"

#include "framework/core/UserDataFolder.h"
#include "platform/sound/AudioModules.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace Platform;
using namespace LumoTest;
using Lumo::SoundManager;

class SoundLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterAudioModules();
        mModule = LoadLibraryA("dsound.dll");
        mManager = std::make_unique<SoundManager>(TestWindow(), mModule);
    }
    void TearDown() override
    {
        mManager.reset();
        FreeLibrary(mModule);
        SetCurrentDirectoryA(mPreviousFolder.c_str());
        Lumo::SetUserDataFolder("");
    }

    // Relative sound names resolve in the temporary folder; the cache goes to its "data" folder.
    void WorkInTheTemporaryFolder()
    {
        ASSERT_TRUE(SetCurrentDirectoryA(mFolder.Path().c_str()));
        Lumo::SetUserDataFolder(mFolder / "data");
    }

    // The cache file the manager writes for sound 0 from "snd.ogg".
    std::string CacheOf()
    {
        std::string path = mFolder / "cache.wav";
        EXPECT_TRUE(mManager->WriteCachedWav(0, "snd.ogg", path));
        return ReadFile(path);
    }

    FakeClock mClock{1'000'000};
    ScopedClock mScopedClock{&mClock};
    TempFolder mFolder;
    HMODULE mModule = nullptr;
    std::unique_ptr<SoundManager> mManager;
    std::string mPreviousFolder = GetCurrentDirectoryA();
};

TEST_F(SoundLoadTest, ReadsWavChunksAsTheyStand)
{
    const std::string data = "\x01\x02\x03\x04";
    struct Case {
        const char* what;
        std::string file;
        bool loads;
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
        std::string samples;
    };
    const Case cases[] = {
        {"plain", WavBytes().Format(1, 2, 44100, 16).Chunk("data", data).Bytes(), true, 2, 44100, 16, data},
        {"odd chunk, no pad byte", WavBytes().Chunk("junk", "abc").Format(1, 1, 11025, 8).Chunk("data", data).Bytes(),
         true, 1, 11025, 8, data},
        {"no format", WavBytes().Chunk("data", data).Bytes(), true, 1, 22050, 16, data},
        {"xor key", WavBytes().Format(1, 1, 8000, 8).Chunk("xor ", "\x55").Chunk("data", data).Bytes(), true, 1,
         8000, 8, "\x54\x57\x56\x51"},
        {"not PCM", WavBytes().Format(3, 1, 44100, 16).Chunk("data", data).Bytes(), false, 0, 0, 0, ""},
        {"no data chunk", WavBytes().Format(1, 1, 44100, 16).Bytes(), false, 0, 0, 0, ""},
        {"data cut short", WavBytes().Format(1, 1, 44100, 16).Bytes() + "data" + U32(8) + data, false, 0, 0, 0, ""},
        {"not RIFF", "RIFX" + U32(0) + "WAVE", false, 0, 0, 0, ""},
        {"chunk size past the end", WavBytes().Bytes() + "fmt " + U32(0xFFFFFFF0), false, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mFolder.Write("s.wav", c.file);
        EXPECT_EQ(mManager->LoadWav(0, mFolder / "s.wav"), c.loads);
        EXPECT_EQ(mManager->GetLoadedSoundCount(), c.loads ? 1 : 0) << "a failed load leaves no buffer";
        if (!c.loads)
            continue;
        std::string cache = CacheOf();
        EXPECT_EQ(cache.substr(22, 2), U16(c.channels));
        EXPECT_EQ(cache.substr(24, 4), U32(c.rate));
        EXPECT_EQ(cache.substr(34, 2), U16(c.bits));
        std::string samples = cache.substr(71 + 7);
        for (char& byte : samples)
            byte = char(byte ^ 0xA7);
        EXPECT_EQ(samples, c.samples);
        mManager->ReleaseSound(0);
    }
}

TEST_F(SoundLoadTest, CacheFileHasItsExactLayout)
{
    mFolder.Write("s.wav", WavBytes().Format(1, 1, 22050, 16).Chunk("data", "\x01\x02\x03\x04").Bytes());
    ASSERT_TRUE(mManager->LoadWav(0, mFolder / "s.wav"));
    std::string expected = "RIFF" + U32(40) + "WAVE" + "fmt " + U32(16) + U16(1) + U16(1) + U32(22050) + U32(44100) +
                           U16(2) + U16(16) + "dep " + U32(17) + U16(7) + "snd.ogg" + U32(0) + U32(0) + "xor " +
                           U32(1) + "\xA7" + "data" + U32(4) + "\xA6\xA5\xA4\xA3";
    std::string cache = CacheOf();
    EXPECT_EQ(cache, expected);
    EXPECT_EQ(cache.size(), 71u + 7u + 4u);
    EXPECT_FALSE(std::filesystem::exists(mFolder / "cache.wav.tmp"));
    // The buffer's bytes are back as they were: writing the cache again gives the same file.
    EXPECT_EQ(CacheOf(), expected);
}

// Links planted by the cache's name and by its old temporary's name lead
// elsewhere: the cache takes its name, and what they lead to stays.
TEST_F(SoundLoadTest, TheCacheNeverWritesThroughALink)
{
    mFolder.Write("s.wav", WavBytes().Format(1, 1, 22050, 16).Chunk("data", "\x01\x02\x03\x04").Bytes());
    ASSERT_TRUE(mManager->LoadWav(0, mFolder / "s.wav"));
    for (const char* link : {"cache.wav.tmp", "cache.wav"}) {
        SCOPED_TRACE(link);
        std::filesystem::remove(mFolder / "cache.wav");
        mFolder.Write("elsewhere/letter.txt", "keep me");
        std::filesystem::create_symlink(mFolder / "elsewhere/letter.txt", mFolder / link);
        EXPECT_EQ(CacheOf().substr(0, 4), "RIFF");
        EXPECT_EQ(ReadFile(mFolder / "elsewhere/letter.txt"), "keep me");
        EXPECT_FALSE(std::filesystem::is_symlink(mFolder / "cache.wav"));
        std::filesystem::remove(mFolder / link);
    }
}

TEST_F(SoundLoadTest, OggSoundsAreDecodedOnceAndCachedUntilTheSourceChanges)
{
    WorkInTheTemporaryFolder();
    std::filesystem::create_directories(mFolder / "sfx");
    std::filesystem::copy_file(FixturePath("audio/tone.ogg"), mFolder / "sfx/tone.ogg");
    std::string cache = mFolder / "data/cached/sfx/tone.wav";

    ASSERT_TRUE(mManager->LoadSound(1, "sfx\\tone"));
    std::string written = ReadFile(cache);
    ASSERT_EQ(written.size(), 71u + 12u + 4410u * 2u) << "0.2 s of 16-bit mono at 22050 Hz";
    EXPECT_EQ(written.substr(46, 12), "sfx\\tone.ogg");

    // Same time, other bytes: the cache is used and the source is not read.
    auto time = std::filesystem::last_write_time(mFolder / "sfx/tone.ogg");
    mFolder.Write("sfx/tone.ogg", "not a vorbis file");
    std::filesystem::last_write_time(mFolder / "sfx/tone.ogg", time);
    EXPECT_TRUE(mManager->LoadSound(1, "sfx\\tone"));

    // A new time makes the cache stale: the source is decoded again (and now fails).
    std::filesystem::last_write_time(mFolder / "sfx/tone.ogg", time + std::chrono::seconds(5));
    EXPECT_FALSE(mManager->LoadSound(1, "sfx\\tone"));
    EXPECT_EQ(mManager->GetLoadedSoundCount(), 0);

    std::filesystem::copy_file(FixturePath("audio/tone.ogg"), mFolder / "sfx/tone.ogg",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(mManager->LoadSound(1, "sfx\\tone"));
    EXPECT_NE(ReadFile(cache).substr(58, 8), written.substr(58, 8)) << "rewritten with the new time";
}

TEST_F(SoundLoadTest, ShortAndRootedNamesAreNeverCached)
{
    WorkInTheTemporaryFolder();
    for (const char* name : {"ab", "C:x"})
        std::filesystem::copy_file(FixturePath("audio/tone.ogg"), mFolder / (std::string(name) + ".ogg"));
    EXPECT_TRUE(mManager->LoadSound(1, "ab"));
    EXPECT_TRUE(mManager->LoadSound(2, "C:x"));
    EXPECT_TRUE(mManager->LoadSound(3, mFolder / "ab"));
    EXPECT_EQ(mManager->GetLoadedSoundCount(), 3);
    EXPECT_FALSE(std::filesystem::exists(mFolder / "data/cached"));
}

TEST_F(SoundLoadTest, ADamagedOggLeavesNoSound)
{
    mFolder.Write("junk.ogg", "OggS" + std::string(200, 'x'));
    EXPECT_FALSE(mManager->LoadOgg(0, mFolder / "junk.ogg"));
    EXPECT_FALSE(mManager->LoadOgg(1, mFolder / "missing.ogg"));
    EXPECT_EQ(mManager->GetLoadedSoundCount(), 0);
}

} // namespace

#include "game/data/JukeBox.h"

#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/resources/SharedPak.h"
#include "platform/AudioModules.h"
#include "platform/Clock.h"
#include "platform/Modules.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <string>
#include <vector>

namespace GameTest {
namespace {

// A music player that writes down each call it gets.
class CallLogMusic : public Lumo::MusicInterface {
public:
    std::vector<std::string> mCalls;
    bool mPlaying = false;
    bool mLoads = true;

    void InitSongs(int32_t count) override { Log("InitSongs " + std::to_string(count)); }
    bool LoadMusic(int32_t id, const std::string& file) override
    {
        Log("LoadMusic " + std::to_string(id) + " " + file);
        return mLoads;
    }
    void UnloadMusic(int32_t id) override { Log("UnloadMusic " + std::to_string(id)); }
    bool IsPlaying(int32_t) override { return mPlaying; }
    void StopMusic(int32_t id) override { Log("StopMusic " + std::to_string(id)); }
    void SetSongMaxVolume(int32_t id, float volume) override
    {
        Log("SetSongMaxVolume " + std::to_string(id) + " " + std::to_string(volume));
    }
    void FadeIn(int32_t id, int32_t offset, float step, bool noLoop) override
    {
        Log("FadeIn " + std::to_string(id) + " " + std::to_string(offset) + " " + std::to_string(step) + " " +
            std::to_string(noLoop));
    }
    void FadeOut(int32_t id, bool stopWhenSilent, float step) override
    {
        Log("FadeOut " + std::to_string(id) + " " + std::to_string(stopWhenSilent) + " " + std::to_string(step));
    }
    void FadeOutThenFadeIn(int32_t id, float outStep, int32_t nextId, float inStep, int32_t nextOffset) override
    {
        Log("FadeOutThenFadeIn " + std::to_string(id) + " " + std::to_string(outStep) + " " +
            std::to_string(nextId) + " " + std::to_string(inStep) + " " + std::to_string(nextOffset));
    }

private:
    void Log(const std::string& call) { mCalls.push_back(call); }
};

std::string WavBytes()
{
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string data(882, '\x10');
    const std::string format = u16(1) + u16(1) + u32(44100) + u32(88200) + u16(2) + u16(16);
    return "RIFF" + u32(uint32_t(4 + 8 + format.size() + 8 + data.size())) + "WAVE" + "fmt " +
           u32(uint32_t(format.size())) + format + "data" + u32(uint32_t(data.size())) + data;
}

class JukeBoxTest : public ::testing::Test {
protected:
    JukeBoxTest()
    {
        Platform::RegisterAudioModules();
        mModule = Platform::LoadLibraryA("dsound.dll");
        mSounds = std::make_unique<Lumo::SoundManager>(reinterpret_cast<Platform::HWND>(uintptr_t(0x10)), mModule);
        mFolder.Write("tick.wav", WavBytes());
        JukeBox::Get().SetPlayers(&mMusic, mSounds.get());
    }
    ~JukeBoxTest() override
    {
        JukeBox::Get().Clear();
        JukeBox::Get().SetPlayers(nullptr, nullptr);
        mSounds.reset();
        Platform::FreeLibrary(mModule);
    }

    void Load(const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        JukeBox::Get().LoadFromXml(document.FirstChildElement("root"));
    }
    std::string Sound(const std::string& name) { return mFolder / name; }

    Platform::FakeClock mClock{1'000'000};
    Platform::ScopedClock mScopedClock{&mClock};
    LumoTest::TempFolder mFolder;
    Platform::HMODULE mModule = nullptr;
    std::unique_ptr<Lumo::SoundManager> mSounds;
    CallLogMusic mMusic;
};

TEST_F(JukeBoxTest, SongsTakeTheirMediaAndVolumesAndSamplesTakeConsecutiveIds)
{
    Load("<root><media src='a.mod' maxvolume='0.5'><song start='0'/><song start='4'/></media>"
         "<media src='b.ogg'><song start='100'/></media>"
         "<sample src='" + Sound("tick") + "' volume='0.25'/><sample src='" + Sound("missing") + "'/>"
         "<sample src='" + Sound("tick") + "'/></root>");
    JukeBox& box = JukeBox::Get();
    ASSERT_EQ(box.GetSongs().size(), 3u);
    const struct {
        int32_t media, start;
        float volume;
    } songs[] = {{0, 0, 0.5f}, {0, 4, 0.5f}, {1, 100, 1.0f}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(box.GetSongs()[i].media, songs[i].media) << i;
        EXPECT_EQ(box.GetSongs()[i].start, songs[i].start) << i;
        EXPECT_FLOAT_EQ(box.GetSongs()[i].maxVolume, songs[i].volume) << i;
    }
    EXPECT_EQ(mMusic.mCalls, (std::vector<std::string>{"InitSongs 2"}));
    EXPECT_NE(mSounds->GetSoundInstance(0), nullptr);
    EXPECT_EQ(mSounds->GetSoundInstance(1), nullptr);
    EXPECT_NE(mSounds->GetSoundInstance(2), nullptr);
}

TEST_F(JukeBoxTest, OnlyRequestedMediaAreLoadedAndAFailedLoadIsNotTriedAgain)
{
    Load("<root><media src='a.mod'><song start='0'/></media><media src='b.mod'/></root>");
    mMusic.mCalls.clear();
    mMusic.mLoads = false;
    JukeBox::Get().RequestMedia(0);
    JukeBox::Get().CheckLoaded();
    JukeBox::Get().CheckLoaded();
    EXPECT_EQ(mMusic.mCalls, (std::vector<std::string>{"LoadMusic 0 a.mod", "UnloadMusic 1", "UnloadMusic 1"}));
    EXPECT_EQ(JukeBox::Get().GetMedia()[0].flags, JukeBox::kLoaded | JukeBox::kRequested);
}

TEST_F(JukeBoxTest, SongsPlayThroughTheirMediaAndUnknownSongsAreIgnored)
{
    Load("<root><media src='a.mod' maxvolume='0.5'><song start='2'/></media>"
         "<media src='b.mod'><song start='6'/></media></root>");
    mMusic.mCalls.clear();
    JukeBox& box = JukeBox::Get();
    box.PlaySong(1, 0.25f);
    mMusic.mPlaying = true;
    box.PlaySong(0, 0.5f);
    box.FadeOutSong(1, 0.125f);
    box.CrossFade(0, 1, 0.5f, 0.25f);
    box.PlaySong(2, 0.5f);
    box.CrossFade(-1, 0, 0.5f, 0.25f);
    EXPECT_EQ(mMusic.mCalls, (std::vector<std::string>{
                                 "SetSongMaxVolume 1 1.000000",
                                 "FadeIn 1 6 0.250000 0",
                                 "StopMusic 0",
                                 "SetSongMaxVolume 0 0.500000",
                                 "FadeIn 0 2 0.500000 0",
                                 "FadeOut 1 1 0.125000",
                                 "FadeOutThenFadeIn 0 0.500000 1 0.250000 6",
                             }));
}

TEST_F(JukeBoxTest, TheLoopSamplePlaysOnceAtATime)
{
    std::string samples;
    for (int i = 0; i <= JukeBox::kLoopSample; ++i)
        samples += "<sample src='" + Sound("tick") + "'/>";
    Load("<root>" + samples + "</root>");
    JukeBox& box = JukeBox::Get();
    box.StartLoopSample();
    box.StartLoopSample();
    EXPECT_EQ(box.PlayingCount(), 1);
    box.StopLoopSample();
    EXPECT_EQ(box.PlayingCount(), 0);
    box.StopLoopSample();
    EXPECT_EQ(box.FindPlaying(JukeBox::kLoopSample), -1);

    box.SetPlayers(&mMusic, nullptr);
    box.StartLoopSample();
    EXPECT_EQ(box.PlayingCount(), 0);
}

} // namespace
} // namespace GameTest

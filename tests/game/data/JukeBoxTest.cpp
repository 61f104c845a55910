#include "game/data/JukeBox.h"

#include "framework/audio/SoundManager.h"
#include "platform/sound/AudioModules.h"
#include "platform/process/Modules.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <string>
#include <vector>

namespace GameTest {
namespace {

std::string WavBytes()
{
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string data(882, '\x10');
    const std::string format = u16(1) + u16(1) + u32(44100) + u32(88200) + u16(2) + u16(16);
    return "RIFF" + u32(uint32_t(4 + 8 + format.size() + 8 + data.size())) + "WAVE" + "fmt " +
           u32(uint32_t(format.size())) + format + "data" + u32(uint32_t(data.size())) + data;
}

class JukeBoxTest : public GameFixture {
protected:
    // A sound manager with a (silent) device, so that loading a sound can fail.
    JukeBoxTest()
    {
        Platform::RegisterAudioModules();
        mModule = Platform::LoadLibraryA("dsound.dll");
        App().mSoundManager =
            std::make_unique<Lumo::SoundManager>(reinterpret_cast<Platform::HWND>(uintptr_t(0x10)), mModule);
        WriteFile("tick.wav", WavBytes());
        JukeBox::Get().SetPlayers(&App().Music(), App().mSoundManager.get());
    }
    ~JukeBoxTest() override
    {
        JukeBox::Get().Clear();
        JukeBox::Get().SetPlayers(nullptr, nullptr);
        App().mSoundManager.reset();
        Platform::FreeLibrary(mModule);
    }

    void Load(const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        JukeBox::Get().LoadFromXml(document.FirstChildElement("root"));
    }
    RecordingMusic& Music() { return App().Music(); }
    Lumo::SoundManager& Sounds() { return *App().mSoundManager; }

    Platform::HMODULE mModule = nullptr;
};

TEST_F(JukeBoxTest, SongsTakeTheirMediaAndVolumesAndSamplesTakeConsecutiveIds)
{
    Load("<root><media src='a.mod' maxvolume='0.5'><song start='0'/><song start='4'/></media>"
         "<media src='b.ogg'><song start='100'/></media>"
         "<sample src='tick' volume='0.25'/><sample src='missing'/><sample src='tick'/></root>");
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
    EXPECT_EQ(Music().mCalls, (std::vector<std::string>{"InitSongs 2"}));
    EXPECT_NE(Sounds().GetSoundInstance(0), nullptr);
    EXPECT_EQ(Sounds().GetSoundInstance(1), nullptr);
    EXPECT_TRUE(LogHas("ERROR: JukeBox_LoadFromXml - can't load sound missing"));
    EXPECT_NE(Sounds().GetSoundInstance(2), nullptr);
}

TEST_F(JukeBoxTest, OnlyRequestedMediaAreLoadedAndAFailedLoadIsNotTriedAgain)
{
    Load("<root><media src='a.mod'><song start='0'/></media><media src='b.mod'/></root>");
    Music().mCalls.clear();
    Music().mRefusedFiles = {"a.mod"};
    JukeBox::Get().RequestMedia(0);
    JukeBox::Get().CheckLoaded();
    JukeBox::Get().CheckLoaded();
    EXPECT_EQ(Music().mCalls, (std::vector<std::string>{"LoadMusic 0 a.mod", "UnloadMusic 1", "UnloadMusic 1"}));
    EXPECT_EQ(JukeBox::Get().GetMedia()[0].flags, JukeBox::kLoaded | JukeBox::kRequested);
    EXPECT_TRUE(LogHas("Error: music a.mod not loaded"));
}

TEST_F(JukeBoxTest, SongsPlayThroughTheirMediaAndUnknownSongsAreIgnored)
{
    Load("<root><media src='a.mod' maxvolume='0.5'><song start='2'/></media>"
         "<media src='b.mod'><song start='6'/></media></root>");
    Music().mCalls.clear();
    JukeBox& box = JukeBox::Get();
    box.PlaySong(1, 0.25f);
    Music().mPlaying[0] = true;
    box.PlaySong(0, 0.5f);
    box.FadeOutSong(1, 0.125f);
    box.CrossFade(0, 1, 0.5f, 0.25f);
    box.PlaySong(2, 0.5f);
    box.CrossFade(-1, 0, 0.5f, 0.25f);
    EXPECT_EQ(Music().mCalls, (std::vector<std::string>{
                                   "SetSongMaxVolume 1 1",
                                   "FadeIn 1 6 0.25 0",
                                   "StopMusic 0",
                                   "SetSongMaxVolume 0 0.5",
                                   "FadeIn 0 2 0.5 0",
                                   "FadeOut 1 1 0.125",
                                   "FadeOutThenFadeIn 0 0.5 1 0.25 6",
                               }));
}

TEST_F(JukeBoxTest, TheLoopSamplePlaysOnceAtATime)
{
    std::string samples;
    for (int i = 0; i <= JukeBox::kLoopSample; ++i)
        samples += "<sample src='tick'/>";
    Load("<root>" + samples + "</root>");
    JukeBox& box = JukeBox::Get();
    box.StartLoopSample();
    box.StartLoopSample();
    EXPECT_EQ(box.PlayingCount(), 1);
    box.StopLoopSample();
    EXPECT_EQ(box.PlayingCount(), 0);
    box.StopLoopSample();
    EXPECT_EQ(box.FindPlaying(JukeBox::kLoopSample), -1);

    box.SetPlayers(&Music(), nullptr);
    box.StartLoopSample();
    EXPECT_EQ(box.PlayingCount(), 0);
}

} // namespace
} // namespace GameTest

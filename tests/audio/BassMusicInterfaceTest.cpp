#include "framework/audio/BassMusicInterface.h"

#include "framework/audio/WaveVolumeControl.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

using namespace Platform;

// What the recording library saw, one line a call.
std::vector<std::string> gCalls;
std::map<DWORD, DWORD> gActive;
std::string gLoadedBytes;

void Record(const std::string& line) { gCalls.push_back(line); }
std::string N(int64_t value) { return std::to_string(value); }

void Dummy() {}
BOOL Init1(int32_t device, DWORD freq, DWORD, HWND)
{
    Record("Init " + N(device) + " " + N(freq));
    return 1;
}
BOOL Init2(int32_t device, DWORD freq, DWORD, HWND, const void*)
{
    // A library that resets the system's wave volume while it starts.
    Lumo::WaveVolumeControl().Write(1234);
    Record("Init " + N(device) + " " + N(freq));
    return 1;
}
BOOL Free() { return 1; }
BOOL Stop() { return 1; }
BOOL Start() { return 1; }
BOOL SetGlobalVolumes(int32_t music, int32_t sample, int32_t stream)
{
    Record("GlobalVolumes " + N(music) + " " + N(sample) + " " + N(stream));
    return 1;
}
BOOL SetConfig(DWORD option, DWORD value)
{
    Record("Config " + N(option) + " " + N(value));
    return 1;
}
BOOL ChannelStop(DWORD handle)
{
    Record("Stop " + N(handle));
    return 1;
}
BOOL ChannelPlay(DWORD handle, BOOL restart)
{
    Record("Play " + N(handle) + " " + N(restart));
    return 1;
}
BOOL ChannelPause(DWORD handle)
{
    Record("Pause " + N(handle));
    return 1;
}
BOOL ChannelSetAttributes(DWORD handle, int32_t freq, int32_t volume, int32_t pan)
{
    Record("Volume " + N(handle) + " " + N(freq) + " " + N(volume) + " " + N(pan));
    return 1;
}
BOOL ChannelSetPosition(DWORD handle, QWORD position)
{
    Record("Position " + N(handle) + " " + N(int64_t(position)));
    return 1;
}
BOOL ChannelSetFlags(DWORD handle, DWORD flags)
{
    Record("Flags " + N(handle) + " " + N(flags));
    return 1;
}
DWORD ChannelIsActive(DWORD handle) { return gActive[handle]; }
HMUSIC MusicLoad1(BOOL memory, const void* data, DWORD, DWORD length, DWORD flags)
{
    gLoadedBytes.assign(static_cast<const char*>(data), length);
    Record("MusicLoad " + N(memory) + " " + N(length) + " " + N(flags));
    return 9;
}
HMUSIC MusicLoad2(BOOL memory, const void* data, QWORD, DWORD length, DWORD flags, DWORD)
{
    return MusicLoad1(memory, data, 0, length, flags);
}
BOOL MusicFree(HMUSIC handle)
{
    Record("MusicFree " + N(handle));
    return 1;
}
HSTREAM StreamCreateFile(BOOL, const void* file, QWORD, QWORD, DWORD)
{
    Record(std::string("StreamCreateFile ") + static_cast<const char*>(file));
    return 7;
}
BOOL StreamFree(HSTREAM handle)
{
    Record("StreamFree " + N(handle));
    return 1;
}
BOOL MusicSetAttribute(DWORD handle, DWORD attribute, DWORD value)
{
    Record("Amplify " + N(handle) + " " + N(attribute) + " " + N(value));
    return 1;
}

template <typename Shape>
FARPROC Entry(Shape function)
{
    return reinterpret_cast<FARPROC>(function);
}

EntryTable RecordingTable(bool version2)
{
    EntryTable table;
    for (const char* name :
         {"BASS_GetVersion", "BASS_GetVolume", "BASS_GetInfo", "BASS_ChannelGetAttributes", "BASS_ChannelGetPosition",
          "BASS_ChannelSlideAttributes", "BASS_ChannelIsSliding", "BASS_ChannelGetLevel", "BASS_ChannelSetFX",
          "BASS_ChannelRemoveFX", "BASS_ChannelGetData", "BASS_ChannelSetSync", "BASS_ChannelRemoveSync",
          "BASS_FXSetParameters", "BASS_FXGetParameters", "BASS_MusicGetAttribute", "BASS_MusicGetOrders",
          "BASS_MusicGetOrderPosition", "BASS_SampleLoad", "BASS_SampleFree", "BASS_SampleSetInfo",
          "BASS_SampleGetInfo", "BASS_SampleGetChannel", "BASS_SampleStop", "BASS_ErrorGetCode"})
        table[name] = Entry(&Dummy);
    table["BASS_Free"] = Entry<BASS_Free_t>(Free);
    table["BASS_Stop"] = Entry<BASS_Stop_t>(Stop);
    table["BASS_Start"] = Entry<BASS_Start_t>(Start);
    table["BASS_ChannelStop"] = Entry<BASS_ChannelStop_t>(ChannelStop);
    table["BASS_ChannelPlay"] = Entry<BASS_ChannelPlay_t>(ChannelPlay);
    table["BASS_ChannelPause"] = Entry<BASS_ChannelPause_t>(ChannelPause);
    table["BASS_ChannelSetAttributes"] = Entry<BASS_ChannelSetAttributes_t>(ChannelSetAttributes);
    table["BASS_ChannelSetPosition"] = Entry<BASS_ChannelSetPosition_t>(ChannelSetPosition);
    table["BASS_ChannelSetFlags"] = Entry<BASS_ChannelSetFlags_t>(ChannelSetFlags);
    table["BASS_ChannelIsActive"] = Entry<BASS_ChannelIsActive_t>(ChannelIsActive);
    table["BASS_MusicFree"] = Entry<BASS_MusicFree_t>(MusicFree);
    table["BASS_StreamCreateFile"] = Entry<BASS_StreamCreateFile_t>(StreamCreateFile);
    table["BASS_StreamFree"] = Entry<BASS_StreamFree_t>(StreamFree);
    table["BASS_MusicSetAttribute"] = Entry<BASS_MusicSetAttribute_t>(MusicSetAttribute);
    if (version2) {
        table["BASS_Init"] = Entry<BASS_Init2_t>(Init2);
        table["BASS_MusicLoad"] = Entry<BASS_MusicLoad2_t>(MusicLoad2);
        table["BASS_SetConfig"] = Entry<BASS_SetConfig_t>(SetConfig);
        table["BASS_SetVolume"] = Entry(&Dummy);
    } else {
        table["BASS_Init"] = Entry<BASS_Init1_t>(Init1);
        table["BASS_MusicLoad"] = Entry<BASS_MusicLoad1_t>(MusicLoad1);
        table["BASS_SetGlobalVolumes"] = Entry<BASS_SetGlobalVolumes_t>(SetGlobalVolumes);
    }
    return table;
}

class BassMusicInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override { Start(true); }
    void TearDown() override
    {
        mPlayer.reset();
        UnregisterModule("bass.dll");
    }

    void Start(bool version2)
    {
        mPlayer.reset();
        RegisterModule("bass.dll", RecordingTable(version2));
        mPlayer = Lumo::BassMusicInterface::Create(LumoTest::TestWindow());
        gCalls.clear();
        mPlayer->InitSongs(4);
        mFolder.Write("song.mod", "module bytes");
        ASSERT_TRUE(mPlayer->LoadMusic(0, mFolder / "song.mod"));
        ASSERT_TRUE(mPlayer->LoadMusic(1, mFolder / "song.ogg"));
        gCalls.clear();
        gActive.clear();
    }

    // The volume of the last attribute call, -1 when there was none.
    int LastVolume(DWORD handle)
    {
        for (auto call = gCalls.rbegin(); call != gCalls.rend(); ++call) {
            std::istringstream words(*call);
            std::string verb;
            int64_t channel = 0, freq = 0, volume = 0;
            if (words >> verb >> channel >> freq >> volume && verb == "Volume" && channel == handle)
                return int(volume);
        }
        return -1;
    }
    bool Saw(const std::string& call) { return std::find(gCalls.begin(), gCalls.end(), call) != gCalls.end(); }

    LumoTest::TempFolder mFolder;
    std::unique_ptr<Lumo::MusicInterface> mPlayer;
};

TEST_F(BassMusicInterfaceTest, AFadeInTakesItsStepsToTheMaximum)
{
    mPlayer->FadeIn(0, 0, 0.005f, false);
    for (int update = 1; update <= 200; ++update)
        mPlayer->Update();
    EXPECT_LT(LastVolume(9), 100);
    mPlayer->Update();
    EXPECT_EQ(LastVolume(9), 100);
    gCalls.clear();
    mPlayer->Update();
    EXPECT_TRUE(gCalls.empty()) << "the fade has ended";
}

TEST_F(BassMusicInterfaceTest, AFadeOutStopsTheSongWhenItCrossesSilence)
{
    mPlayer->PlayMusic(0, 0, false);
    mPlayer->FadeOut(0, true, 0.5f);
    gCalls.clear();
    mPlayer->Update();
    mPlayer->Update();
    EXPECT_FALSE(Saw("Stop 9")) << "exactly 0 ends nothing yet";
    gCalls.clear();
    mPlayer->Update();
    EXPECT_TRUE(Saw("Stop 9"));
    EXPECT_EQ(LastVolume(9), 0);
}

TEST_F(BassMusicInterfaceTest, FadingOutASilentSongDoesNothingButFadeOutAllStopsIt)
{
    mPlayer->FadeOut(0, true, 0.1f);
    mPlayer->Update();
    EXPECT_TRUE(gCalls.empty());
    mPlayer->FadeOutAll(true, 0.1f);
    mPlayer->Update();
    EXPECT_TRUE(Saw("Stop 9"));
    EXPECT_TRUE(Saw("Stop 7"));
}

TEST_F(BassMusicInterfaceTest, ChainsFadeTheNextSongIn)
{
    // Already silent: the next song starts at once.
    mPlayer->FadeOutThenFadeIn(0, 0.5f, 1, 0.25f, 0);
    EXPECT_TRUE(Saw("Play 7 1"));
    gCalls.clear();

    // Playing: out first, then the same song back in from the next offset.
    mPlayer->PlayMusic(0, 0, false);
    mPlayer->FadeOutThenFadeIn(0, 0.6f, 0, 0.5f, 3);
    mPlayer->Update();
    gCalls.clear();
    mPlayer->Update();
    EXPECT_TRUE(Saw("Stop 9"));
    EXPECT_TRUE(Saw("Position 9 " + N(int64_t(int32_t(0x80000003)))));
    mPlayer->Update();
    EXPECT_EQ(LastVolume(9), 50);
}

TEST_F(BassMusicInterfaceTest, APausedSongsFadeWaits)
{
    mPlayer->FadeIn(0, 0, 0.25f, false);
    mPlayer->Update();
    mPlayer->PauseMusic(0);
    EXPECT_TRUE(Saw("Pause 9"));
    gCalls.clear();
    mPlayer->Update();
    mPlayer->Update();
    EXPECT_EQ(LastVolume(9), -1);
    mPlayer->ResumeMusic(0);
    EXPECT_TRUE(Saw("Play 9 0"));
    mPlayer->Update();
    EXPECT_EQ(LastVolume(9), 50);
}

TEST_F(BassMusicInterfaceTest, LoadingRoutesByExtension)
{
    mFolder.Write("noext", "abc");
    struct Case {
        std::string name;
        std::string call;
    };
    const Case cases[] = {
        {mFolder / "x.MP3", "StreamCreateFile " + (mFolder / "x.MP3")},
        {mFolder / "x.wav", "StreamCreateFile " + (mFolder / "x.wav")},
        {mFolder / "song.mod", "MusicLoad 1 12 516"},
        {mFolder / "noext", "MusicLoad 1 3 516"},
    };
    for (const Case& c : cases) {
        gCalls.clear();
        EXPECT_TRUE(mPlayer->LoadMusic(2, c.name)) << c.name;
        EXPECT_TRUE(Saw(c.call)) << c.call;
    }
    EXPECT_EQ(gLoadedBytes, "abc");
    EXPECT_TRUE(Saw("MusicFree 9")) << "a loaded song is unloaded first";
    EXPECT_FALSE(mPlayer->LoadMusic(2, mFolder / "missing.mod"));
    EXPECT_FALSE(mPlayer->LoadMusic(4, mFolder / "x.ogg"));
    EXPECT_FALSE(mPlayer->LoadMusic(-1, mFolder / "x.ogg"));
}

TEST_F(BassMusicInterfaceTest, BadIdsAreIgnoredEverywhere)
{
    for (int32_t id : {-1, 4, 1000}) {
        mPlayer->PlayMusic(id, 0, false);
        mPlayer->FadeIn(id, 0, 0.1f, false);
        mPlayer->FadeOutThenFadeIn(1, 0.1f, id, 0.1f, 0);
        mPlayer->SetSongVolume(id, 1.0f);
        mPlayer->PauseMusic(id);
        mPlayer->UnloadMusic(id);
        EXPECT_FALSE(mPlayer->IsPlaying(id));
    }
    mPlayer->Update();
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(BassMusicInterfaceTest, StreamsRestartUnlessTheOffsetIsMinusOne)
{
    mPlayer->PlayMusic(1, -1, false);
    EXPECT_TRUE(Saw("Play 7 0"));
    EXPECT_FALSE(Saw("Position 7 -1"));
    gCalls.clear();
    mPlayer->PlayMusic(1, 0, true);
    EXPECT_TRUE(Saw("Flags 7 0"));
    EXPECT_TRUE(Saw("Play 7 1"));
    gCalls.clear();
    mPlayer->PlayMusic(1, 4000, false);
    EXPECT_TRUE(Saw("Position 7 4000"));
    gCalls.clear();
    mPlayer->PlayMusic(0, 2, false);
    EXPECT_TRUE(Saw("Flags 9 " + N(4 | 0x8200)));
}

TEST_F(BassMusicInterfaceTest, VolumesGoToTheLibrary)
{
    mPlayer->SetVolume(0.3f);
    EXPECT_TRUE(Saw("Config 6 30"));
    EXPECT_TRUE(Saw("Config 5 30"));
    mPlayer->PlayMusic(0, 0, false);
    mPlayer->SetSongMaxVolume(0, 0.4f);
    EXPECT_EQ(LastVolume(9), 40);
    mPlayer->SetMusicAmplify(0, 0.5f);
    EXPECT_TRUE(Saw("Amplify 9 0 50"));
    Start(false);
    mPlayer->SetVolume(0.3f);
    EXPECT_TRUE(Saw("GlobalVolumes 12 12 12"));
}

TEST_F(BassMusicInterfaceTest, PauseAndResumeAllFollowTheChannelState)
{
    gActive[9] = 1;
    gActive[7] = 0;
    mPlayer->PauseAllMusic();
    EXPECT_TRUE(Saw("Pause 9"));
    EXPECT_FALSE(Saw("Pause 7"));
    gActive[9] = 3;
    mPlayer->ResumeAllMusic();
    EXPECT_TRUE(Saw("Play 9 0"));
    EXPECT_FALSE(Saw("Play 7 0"));
}

TEST_F(BassMusicInterfaceTest, StartingTheLibraryKeepsTheSystemWaveVolume)
{
    Lumo::WaveVolumeControl().Write(40000);
    mPlayer.reset();
    gCalls.clear();
    mPlayer = Lumo::BassMusicInterface::Create(LumoTest::TestWindow());
    EXPECT_EQ(Lumo::WaveVolumeControl().Read(), 40000u);
    EXPECT_TRUE(Saw("Init 1 44100"));
    EXPECT_TRUE(Saw("Config 0 2000"));
    Lumo::WaveVolumeControl().Write(0xFFFF);
}

TEST(BassMusicInterfaceFallback, AMissingLibraryGivesTheSilentPlayer)
{
    UnregisterModule("bass.dll");
    std::unique_ptr<Lumo::MusicInterface> player = Lumo::BassMusicInterface::Create(LumoTest::TestWindow());
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(dynamic_cast<Lumo::BassMusicInterface*>(player.get()), nullptr);
    player->InitSongs(2);
    EXPECT_FALSE(player->LoadMusic(0, "song.mod"));
}

} // namespace

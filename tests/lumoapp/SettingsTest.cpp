#include "tests/lumoapp/AppFixture.h"

#include "platform/storage/Registry.h"
#include "tests/support/FileSystemWithoutLinks.h"

namespace LumoTest {
namespace {

using namespace Platform;

class SettingsTest : public AppFixture {
protected:
    void SetUp() override { mApp = std::make_unique<TestApp>(); }
    void Store(const std::string& name, int32_t value)
    {
        RegistryStore::Value stored{REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)};
        mStore.CreateKey("SOFTWARE\\TestCompany\\LumoAppTest");
        mStore.Set("SOFTWARE\\TestCompany\\LumoAppTest", name, stored);
    }
};

TEST_F(SettingsTest, LoadsAndSavesWithTheirConversions)
{
    Store("MusicVolume", 29);
    Store("SfxVolume", 100);
    Store("ScreenMode", 1);
    Store("InProgress", 1);
    mApp->LoadSettings();
    EXPECT_FLOAT_EQ(mApp->mMusicVolume, 0.29f);
    EXPECT_FLOAT_EQ(mApp->mSfxVolume, 1.0f);
    EXPECT_FALSE(mApp->mWindowed);
    EXPECT_FALSE(mApp->mLastRunClean);
    EXPECT_EQ(StoredInteger("InProgress"), 1);

    mApp->mMuteCount = 2;
    mApp->mAutoMuteCount = 1;
    mApp->SaveSettings();
    EXPECT_EQ(StoredInteger("MusicVolume"), 29); // no drift through the float
    EXPECT_EQ(StoredInteger("SfxVolume"), 100);
    EXPECT_EQ(StoredInteger("Muted"), 1);
    EXPECT_EQ(StoredInteger("ScreenMode"), 1);
    EXPECT_EQ(StoredInteger("InProgress"), 0);

    mApp->mMusicVolume = 0.299f;
    mApp->mAutoMuteCount = 2;
    mApp->SaveSettings();
    EXPECT_EQ(StoredInteger("MusicVolume"), 29);
    EXPECT_EQ(StoredInteger("Muted"), 0);
}

TEST_F(SettingsTest, StoredNumbersAreHeldToTheirRanges)
{
    const struct {
        int32_t music, sfx, muted, x;
        float musicVolume, sfxVolume;
        int32_t muteCount, preferredX;
    } cases[] = {
        {150, -20, INT32_MAX, INT32_MAX, 1.0f, 0.0f, 1, 32767},
        {INT32_MIN, INT32_MAX, -5, INT32_MIN, 0.0f, 1.0f, 0, -32768},
        {40, 60, 1, -1, 0.4f, 0.6f, 1, -1},
    };
    for (const auto& test : cases) {
        Store("MusicVolume", test.music);
        Store("SfxVolume", test.sfx);
        Store("Muted", test.muted);
        Store("PreferredX", test.x);
        Store("PreferredY", test.x);
        mApp = std::make_unique<TestApp>();
        mApp->LoadSettings();
        EXPECT_FLOAT_EQ(mApp->mMusicVolume, test.musicVolume) << test.music;
        EXPECT_FLOAT_EQ(mApp->mSfxVolume, test.sfxVolume) << test.sfx;
        EXPECT_EQ(mApp->mMuteCount, test.muteCount) << test.muted;
        EXPECT_EQ(mApp->mPreferredX, test.preferredX) << test.x;
        EXPECT_EQ(mApp->mPreferredY, test.preferredX) << test.x;
        // A mute on top of a stored one must not overflow the count.
        mApp->PushMute(false);
        EXPECT_EQ(mApp->mMuteCount, test.muteCount + 1);
    }
}

TEST_F(SettingsTest, AMissingInProgressMeansACleanRunAndTheScreensaverDoesNotMarkOne)
{
    mApp->mIsScreenSaver = true;
    mApp->LoadSettings();
    EXPECT_TRUE(mApp->mLastRunClean);
    EXPECT_EQ(StoredInteger("InProgress"), -12345);
}

TEST_F(SettingsTest, AddressingUsesSubkeysTrailingSeparatorsAndAnEmptyKeySwitchesItOff)
{
    mApp->mRegKey = "TestCompany\\LumoAppTest\\";
    EXPECT_TRUE(mApp->RegistryWriteString("Test3D\\RuntimeError", "broken"));
    RegistryStore::Value value;
    ASSERT_TRUE(mStore.Get("SOFTWARE\\TestCompany\\LumoAppTest\\Test3D", "RuntimeError", &value));
    EXPECT_EQ(value.type, REG_SZ);
    EXPECT_EQ(value.data, "broken");
    std::string text;
    EXPECT_TRUE(mApp->RegistryReadString("Test3D\\RuntimeError", &text));
    EXPECT_EQ(text, "broken");
    int32_t number = 0;
    EXPECT_FALSE(mApp->RegistryReadInteger("Test3D\\RuntimeError", &number));

    mApp->mRegKey.clear();
    EXPECT_FALSE(mApp->RegistryWriteInteger("X", 1));
    EXPECT_FALSE(mApp->RegistryReadString("Test3D\\RuntimeError", &text));
    mApp->LoadSettings();
    EXPECT_TRUE(mApp->mSettingsLoaded);
}

TEST_F(SettingsTest, RecordedRegistryAnswersReplayWithoutTouchingTheStore)
{
    Store("PreferredX", 77);
    mApp->mRecording = true;
    int32_t value = 0;
    ASSERT_TRUE(mApp->RegistryReadInteger("PreferredX", &value));
    EXPECT_FALSE(mApp->RegistryReadInteger("Missing", &value));
    EXPECT_TRUE(mApp->RegistryWriteInteger("PreferredY", 5));
    mApp->mRecording = false;

    TestApp player;
    player.mPlaying = true;
    const Lumo::Buffer& recorded = mApp->mDemoBuffer;
    player.mDemoBuffer.WriteBytes(recorded.GetDataPtr(), recorded.GetDataLen());
    mStore.Erase("SOFTWARE\\TestCompany\\LumoAppTest", "PreferredX");
    value = 0;
    EXPECT_TRUE(player.RegistryReadInteger("PreferredX", &value));
    EXPECT_EQ(value, 77);
    EXPECT_FALSE(player.RegistryReadInteger("Missing", &value));
    EXPECT_TRUE(player.RegistryWriteInteger("PreferredY", 6));
    EXPECT_EQ(StoredInteger("PreferredY"), 5);

    // Once the user closed the window, nothing more is taken from the demo.
    player.mManualShutdown = true;
    const int32_t position = player.mDemoBuffer.GetReadPosition();
    EXPECT_FALSE(player.RegistryReadInteger("PreferredX", &value));
    EXPECT_TRUE(player.RegistryWriteInteger("PreferredY", 7));
    EXPECT_EQ(player.mDemoBuffer.GetReadPosition(), position);
}

TEST_F(SettingsTest, APlaybackRunClearsInProgressInTheRealSettings)
{
    mApp->LoadSettings();
    ASSERT_EQ(StoredInteger("InProgress"), 1);
    mApp->mPlaying = true;
    mApp->SaveSettings();
    EXPECT_EQ(StoredInteger("InProgress"), 0);
    mApp->mPlaying = false;
}

// The settings file written at the start, a save that fails later in the
// run (the disk filled up) fails the write: the player hears it once, and
// the value holds for the run.
TEST_F(SettingsTest, ASaveThatFailsAfterTheKeyWasMadeIsTold)
{
    const std::string path = mFolder / "registry.txt";
    RegistryStore store(path);
    ScopedRegistryStore scope(&store);
    mApp->LoadSettings();
    ASSERT_NE(ReadFile(path).find("\"InProgress\"=dword:1"), std::string::npos);
    {
        FileSystemWithoutLinks full(FileSystemWithoutLinks::kFull);
        EXPECT_FALSE(mApp->RegistryWriteInteger("MusicVolume", 40));
        EXPECT_FALSE(mApp->RegistryWriteInteger("SfxVolume", 50));
    }
    const auto& boxes = mSession.Desktop().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Your settings could not be saved.");
    int32_t volume = 0;
    EXPECT_TRUE(mApp->RegistryReadInteger("MusicVolume", &volume));
    EXPECT_EQ(volume, 40);
    EXPECT_EQ(ReadFile(path).find("MusicVolume"), std::string::npos);
}

} // namespace
} // namespace LumoTest

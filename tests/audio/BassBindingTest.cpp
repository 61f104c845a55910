#include "framework/audio/BASS_INSTANCE.h"

#include "framework/core/AppLog.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;

void Dummy() {}

const char* const kCommonNames[] = {
    "BASS_GetVersion", "BASS_Init", "BASS_Free", "BASS_Stop", "BASS_Start", "BASS_GetVolume", "BASS_GetInfo",
    "BASS_ChannelStop", "BASS_ChannelPlay", "BASS_ChannelPause", "BASS_ChannelSetAttributes",
    "BASS_ChannelGetAttributes", "BASS_ChannelSetPosition", "BASS_ChannelGetPosition", "BASS_ChannelSetFlags",
    "BASS_ChannelIsActive", "BASS_ChannelSlideAttributes", "BASS_ChannelIsSliding", "BASS_ChannelGetLevel",
    "BASS_ChannelSetFX", "BASS_ChannelRemoveFX", "BASS_ChannelGetData", "BASS_ChannelSetSync",
    "BASS_ChannelRemoveSync", "BASS_MusicLoad", "BASS_MusicFree", "BASS_StreamCreateFile", "BASS_StreamFree",
    "BASS_FXSetParameters", "BASS_FXGetParameters", "BASS_MusicGetAttribute", "BASS_MusicSetAttribute",
    "BASS_MusicGetOrders", "BASS_MusicGetOrderPosition", "BASS_SampleLoad", "BASS_SampleFree",
    "BASS_SampleSetInfo", "BASS_SampleGetInfo", "BASS_SampleGetChannel", "BASS_SampleStop", "BASS_ErrorGetCode"};

// Every required name, plus the volume entry and (for 2.x) BASS_SetConfig.
EntryTable CraftedTable(bool version2)
{
    EntryTable table;
    for (const char* name : kCommonNames)
        table[name] = reinterpret_cast<FARPROC>(&Dummy);
    table[version2 ? "BASS_SetVolume" : "BASS_SetGlobalVolumes"] = reinterpret_cast<FARPROC>(&Dummy);
    if (version2)
        table["BASS_SetConfig"] = reinterpret_cast<FARPROC>(&Dummy);
    return table;
}

class BassBindingTest : public ::testing::Test {
protected:
    void SetUp() override { Lumo::AppLog::GetInstance()->Open(mFolder.Path() + "/"); }
    void TearDown() override { UnregisterModule("bass.dll"); }

    std::string Log()
    {
        Lumo::AppLog::GetInstance()->Close();
        return LumoTest::ReadFile(mFolder / "applog.txt");
    }

    LumoTest::TempFolder mFolder;
};

TEST_F(BassBindingTest, SetConfigSelectsTheSecondInterface)
{
    RegisterModule("bass.dll", CraftedTable(true));
    Lumo::BASS_INSTANCE v2;
    EXPECT_TRUE(v2.IsComplete());
    EXPECT_TRUE(v2.mVersion2);
    EXPECT_NE(v2.BASS_Init2, nullptr);
    EXPECT_NE(v2.BASS_MusicLoad2, nullptr);
    EXPECT_EQ(v2.BASS_Init, nullptr);
    EXPECT_EQ(v2.BASS_MusicLoad, nullptr);
    EXPECT_EQ(v2.BASS_ChannelPreBuf, nullptr) << "optional and absent";

    RegisterModule("bass.dll", CraftedTable(false));
    Lumo::BASS_INSTANCE v1;
    EXPECT_TRUE(v1.IsComplete());
    EXPECT_FALSE(v1.mVersion2);
    EXPECT_NE(v1.BASS_Init, nullptr);
    EXPECT_NE(v1.BASS_MusicLoad, nullptr);
    EXPECT_EQ(v1.BASS_Init2, nullptr);
    EXPECT_EQ(v1.BASS_MusicLoad2, nullptr);
}

TEST_F(BassBindingTest, IncompleteOrMissingLibrariesAreLoggedAndRefused)
{
    struct Case {
        const char* what;
        std::vector<const char*> removed;
        std::string logged;
    };
    const Case cases[] = {
        {"no attributes", {"BASS_ChannelSetAttributes"}, "BASS_ChannelSetAttributes function not found in bass.dll"},
        {"first missing wins", {"BASS_SampleStop", "BASS_Free"}, "BASS_Free function not found in bass.dll"},
        {"no volumes", {"BASS_SetVolume"}, "Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll"},
    };
    for (const Case& c : cases) {
        EntryTable table = CraftedTable(true);
        for (const char* name : c.removed)
            table.erase(name);
        RegisterModule("bass.dll", table);
        EXPECT_FALSE(Lumo::LoadBassDLL()) << c.what;
        EXPECT_EQ(Lumo::GetBassInstance(), nullptr);
    }
    UnregisterModule("bass.dll");
    EXPECT_FALSE(Lumo::LoadBassDLL());
    std::string log = Log();
    for (const Case& c : cases)
        EXPECT_NE(log.find(c.logged), std::string::npos) << c.logged;
    EXPECT_EQ(log.find("BASS_SampleStop function"), std::string::npos);
    EXPECT_NE(log.find("Can't find bass.dll."), std::string::npos);
}

TEST_F(BassBindingTest, TheSharedInstanceIsCounted)
{
    RegisterModule("bass.dll", CraftedTable(true));
    ASSERT_TRUE(Lumo::LoadBassDLL());
    Lumo::BASS_INSTANCE* first = Lumo::GetBassInstance();
    ASSERT_TRUE(Lumo::LoadBassDLL());
    EXPECT_EQ(Lumo::GetBassInstance(), first);
    Lumo::FreeBassDLL();
    EXPECT_EQ(Lumo::GetBassInstance(), first);
    Lumo::FreeBassDLL();
    EXPECT_EQ(Lumo::GetBassInstance(), nullptr);
}

} // namespace

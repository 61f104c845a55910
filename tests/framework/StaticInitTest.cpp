#include "framework/StaticInit.h"

#include "framework/core/MersenneTwister.h"
#include "framework/core/RandomNumber.h"
#include "framework/core/UserDataFolder.h"
#include "framework/diagnostics/HTTPTransfer.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/SharedPak.h"
#include "framework/widgets/DialogButtonLabels.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

int gGameInitCalls = 0;
bool gPakExistedAtGameInit = true;

void GameInit()
{
    ++gGameInitCalls;
    gPakExistedAtGameInit = Lumo::gPakInterface != nullptr;
}

} // namespace

// One process runs the routine once, so everything it promises is checked here in order.
TEST(StaticInit, SetsUpTheGlobalsInOrderOnce)
{
    LumoTest::TempFolder dir;
    dir.Write("loose.txt", "disk");
    // Before the routine, the wrappers find no shared instance and read from disk.
    ASSERT_EQ(Lumo::GetSharedPak(), nullptr);
    PakFileHandle* early = Lumo::PakOpen((dir / "loose.txt").c_str(), "rb");
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(Lumo::PakGetChar(early), 'd');
    Lumo::PakClose(early);

    Lumo::SetUserDataFolder("/somewhere/");
    Lumo::SeedRandom(99);
    Lumo::SetGameStaticInit(&GameInit);
    Lumo::RunStaticInitialisation();
    Lumo::RunStaticInitialisation();

    EXPECT_EQ(gGameInitCalls, 1);
    EXPECT_FALSE(gPakExistedAtGameInit);
    ASSERT_NE(Lumo::gPakInterface, nullptr);
    EXPECT_EQ(Lumo::GetSharedPak(), Lumo::gPakInterface);
    EXPECT_EQ(Lumo::GetUserDataFolder(), "");

    EXPECT_EQ(Lumo::gCrashAttachmentPath, "");
    EXPECT_EQ(Lumo::GetCrashHTTPTransfer().GetTransferId(), 1);
    EXPECT_EQ(Lumo::GetCrashHTTPTransfer().GetResult(), Lumo::HTTPTransfer::kIdle);
    EXPECT_EQ(Lumo::gDialogYesLabel, "YES");
    EXPECT_EQ(Lumo::gDialogNoLabel, "NO");
    EXPECT_EQ(Lumo::gDialogOkLabel, "OK");
    EXPECT_EQ(Lumo::gDialogCancelLabel, "CANCEL");

    Lumo::MersenneTwister reference(4357);
    EXPECT_EQ(Lumo::RandomNumber(1000000), int32_t(reference.Next() % 1000000));
}

#include "tests/app/ShippedGameTest.h"

#include "framework/StaticInit.h"
#include "framework/core/UserDataFolder.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/sound/AudioModules.h"
#include "platform/storage/Files.h"
#include "tests/support/ArchiveEntries.h"

#include <filesystem>
#include <strings.h>

namespace AppTest {

ShippedGameTest::ShippedGameTest()
{
    std::filesystem::copy_file(ZENTROVA_RES_PAK, mFolder / "res.pak");
    Platform::RegisterDirectDrawModule();
    Platform::RegisterAudioModules();
    Platform::DisplayDesktop::Reset();
    mPreviousExit = Platform::SetExitHook([](uint32_t code) { throw ExitCalled{code}; });
    mPreviousPak = Lumo::gPakInterface;
    Lumo::gPakInterface = &mPak;
}

ShippedGameTest::~ShippedGameTest()
{
    mGame.reset();
    Lumo::gPakInterface = mPreviousPak;
    Platform::SetExitHook(mPreviousExit);
    Platform::DisplayDesktop::Reset();
}

void ShippedGameTest::ShipArchive(const std::string& archive)
{
    std::filesystem::copy_file(archive, mFolder / "res.pak", std::filesystem::copy_options::overwrite_existing);
}

void ShippedGameTest::ShipWith(const std::string& name, const std::string& text)
{
    ASSERT_TRUE(LumoTest::WriteArchiveWith(LumoTest::ReadArchiveEntries(ZENTROVA_RES_PAK), mFolder / "res.pak",
                                           name, text));
}

std::string ShippedGameTest::ShippedFile(const std::string& name)
{
    for (const LumoTest::ArchiveEntry& entry : LumoTest::ReadArchiveEntries(ZENTROVA_RES_PAK)) {
        if (strcasecmp(entry.mName.c_str(), name.c_str()) == 0)
            return entry.mData;
    }
    return {};
}

ScriptedGame& ShippedGameTest::Start(std::unique_ptr<ScriptedGame> game)
{
    mGame = std::move(game);
    mGame->LoadSettings();
    mGame->Initialize();
    return *mGame;
}

std::string ShippedGameTest::DataFile(const std::string& name)
{
    return Platform::NativePath(Lumo::GetUserDataFolder() + name);
}

} // namespace AppTest

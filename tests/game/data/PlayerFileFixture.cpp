#include "tests/game/data/PlayerFileFixture.h"

#include "framework/core/UserDataFolder.h"
#include "platform/storage/Files.h"

namespace GameTest {

PlayerFileFixture::PlayerFileFixture()
{
    mPreviousFolder = Platform::GetCurrentDirectoryA();
    Platform::SetCurrentDirectoryA(mFolder.Path().c_str());
    mFolder.Write("data/.keep", "");
    Lumo::SetUserDataFolder(mFolder / "data");
    mApp = std::make_unique<Lumo::LumoAppBase>();
    mApp->mRegKey = "TestCompany\\Zentrova";
}

PlayerFileFixture::~PlayerFileFixture()
{
    mApp.reset();
    Lumo::SetUserDataFolder("");
    Platform::SetCurrentDirectoryA(mPreviousFolder.c_str());
}

std::string PlayerFileFixture::StoredString(const std::string& name)
{
    std::string text;
    return mApp->RegistryReadString(name, &text) ? text : "<none>";
}

void PlayerFileFixture::StoreString(const std::string& name, const std::string& text)
{
    mApp->RegistryWriteString(name, text);
}

} // namespace GameTest

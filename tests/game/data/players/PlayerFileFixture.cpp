#include "tests/game/data/players/PlayerFileFixture.h"

#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "platform/storage/Files.h"

#include <fstream>

namespace GameTest {

PlayerFileFixture::PlayerFileFixture()
{
    Lumo::SetUserDataFolder(App().AppDataFolder());
    Lumo::CreateDirectoryPath(Lumo::GetUserDataFolder());
}

std::string PlayerFileFixture::DataPath(const std::string& name) const
{
    return Platform::NativePath(Lumo::GetUserDataFolder() + name);
}

void PlayerFileFixture::WriteData(const std::string& name, const std::string& bytes)
{
    std::ofstream(DataPath(name), std::ios::binary) << bytes;
}

std::string PlayerFileFixture::StoredString(const std::string& name)
{
    std::string text;
    return App().RegistryReadString(name, &text) ? text : "<none>";
}

} // namespace GameTest

#include "framework/core/UserDataFolder.h"

#include "framework/core/PathUtils.h"

namespace Lumo {

namespace {

std::string& Folder()
{
    static std::string folder;
    return folder;
}

} // namespace

std::string GetUserDataFolder() { return Folder(); }

void SetUserDataFolder(const std::string& path) { Folder() = AddTrailingSlash(path); }

} // namespace Lumo

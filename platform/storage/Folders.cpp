#include "platform/storage/Folders.h"

#include "platform/storage/Files.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace Platform {

namespace {

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "/tmp";
}

// An XDG variable counts only when it names an absolute folder.
std::string FromEnvironment(const char* variable, const std::string& fallback)
{
    const char* value = std::getenv(variable);
    std::string folder = value && *value == '/' ? value : fallback;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

std::string DataHomeFolder() { return FromEnvironment("XDG_DATA_HOME", HomeFolder() + "/.local/share"); }

std::string ConfigHomeFolder() { return FromEnvironment("XDG_CONFIG_HOME", HomeFolder() + "/.config"); }

std::string RuntimeFolder()
{
    std::string ownFolder = std::filesystem::temp_directory_path().string() + "/lumo-" + std::to_string(::getuid());
    return FromEnvironment("XDG_RUNTIME_DIR", ownFolder);
}

int32_t SHGetFolderPathA(int folder, std::string* path)
{
    if (folder != CSIDL_COMMON_APPDATA || !path)
        return E_INVALIDARG;
    *path = DataHomeFolder();
    return S_OK;
}

bool CreateFolderPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

bool CanWriteInFolder(const std::string& path)
{
    std::string pattern = path + "/.lumo-write-test-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(pattern.c_str());
    return true;
}

std::string GetSystemDirectoryA()
{
    return "/usr/lib";
}

} // namespace Platform

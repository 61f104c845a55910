#include "GameBenchSetting.h"

#include "platform/process/Process.h"

#include <cstdlib>
#include <string>
#include <system_error>

GameBenchSetting::GameBenchSetting(const char* label) : mFolder(PrepareFolder(label))
{
    mMounted = mPak.MountArchive(ZENTROVA_RES_PAK);
}

GameBenchSetting::~GameBenchSetting()
{
    std::error_code ignored;
    std::filesystem::remove_all(mFolder, ignored);
}

std::filesystem::path GameBenchSetting::PrepareFolder(const char* label)
{
    // Set before the desktop and the game read them.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        (std::string("zentrova-") + label + "-" + std::to_string(Platform::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    return folder;
}

#pragma once

#include <cstdint>
#include <string>

// The folders of the desktop: the XDG base folders, and the application-data
// folder that Windows programs ask SHGetFolderPathA for.
namespace Platform {

constexpr int CSIDL_COMMON_APPDATA = 0x23;
constexpr int32_t S_OK = 0;
constexpr int32_t E_FAIL = int32_t(0x80004005);
constexpr int32_t E_INVALIDARG = int32_t(0x80070057);

// $XDG_DATA_HOME, else ~/.local/share; no trailing "/".
std::string DataHomeFolder();
// $XDG_CONFIG_HOME, else ~/.config.
std::string ConfigHomeFolder();
// $XDG_RUNTIME_DIR, else a folder of the user's in the temporary folder.
std::string RuntimeFolder();

// CSIDL_COMMON_APPDATA is the data home here (per user, not per machine),
// whatever its length.
int32_t SHGetFolderPathA(int folder, std::string* path);

// The folder that holds the system's driver files (the system library folder
// here); no trailing "/".
std::string GetSystemDirectoryA();

// Creates the folder and its parents; true when it exists afterwards.
bool CreateFolderPath(const std::string& path);
// Whether a file can be made in the folder now (tried, not guessed from the
// permission bits: a read-only disk refuses even the superuser).
bool CanWriteInFolder(const std::string& path);

} // namespace Platform

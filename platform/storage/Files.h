#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The file-system calls of the program in their Win32 shape. Content names use
// "\" and are case-insensitive; NativePath maps them onto this file system.
namespace Platform {

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~uintptr_t(0));

// 100-nanosecond intervals since 1601-01-01 UTC.
struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr int MAX_PATH = 260;

struct WIN32_FIND_DATAA {
    uint32_t dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    char cFileName[MAX_PATH] = {};
};

uint64_t FileTimeToU64(const FILETIME& time);
FILETIME U64ToFileTime(uint64_t value);
// Seconds since 1970 to FILETIME and back.
FILETIME UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds = 0);
int64_t FileTimeToUnixTime(const FILETIME& time);

// "\" and "/" both separate; where the exact name is absent, each component is
// matched without regard to case. Components that match nothing stay as given.
std::string NativePath(const std::string& name);

// Reads a whole file of at most limit bytes. Anything but a plain file (a
// FIFO, a device) is refused before a byte is read, and so is a larger file.
// Missing means nothing is there; a file that is there but may not be read,
// or whose reading failed, is Unreadable, with errno telling why.
enum class WholeFile { Read, Missing, Unreadable, NotAFile, TooLarge };
WholeFile ReadWholeFile(const std::string& path, uint64_t limit, std::string* bytes);

// A descriptor to read the plain file at a native path, opened without
// waiting for a FIFO's writer; -1 when there is none (Missing), it may not
// be opened (Unreadable, errno says why) or the name holds something else
// (NotAFile). Read when it opened.
int OpenPlainFile(const std::string& path, WholeFile* result);

// fopen on the native path; reading ("r", "rb") opens plain files only, and
// a mode that writes refuses a symbolic link by the file's name.
FILE* OpenFile(const char* name, const char* mode);

// Wildcards "*" and "?" in the last component, matched without regard to case;
// "*.*" matches every name. "." and ".." are listed as Windows lists them.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
bool FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
bool FindClose(HANDLE find);

uint32_t GetFileAttributesA(const char* name);
bool DeleteFileA(const char* name);
bool RemoveDirectoryA(const char* name);
// Creates one folder; false when it exists or its parent does not.
bool CreateDirectoryA(const char* name);

std::string GetCurrentDirectoryA();
bool SetCurrentDirectoryA(const char* name);

// Whether a name is absolute on this file system ("/..." here).
bool IsAbsolutePath(const std::string& name);

} // namespace Platform

#pragma once

#include "framework/resources/PakArchive.h"
#include "framework/resources/PakEntry.h"
#include "framework/resources/PakFindState.h"
#include "framework/resources/PakInterfaceBase.h"

#include <cstddef>
#include <list>
#include <map>
#include <string>

// Content files looked up by name in the mounted archives, read unscrambled out
// of their mappings; every other name, and every file opened for writing, is a
// disk file.
class PakInterface final : public PakInterfaceBase {
public:
    // The lookup form of a name fits this buffer with its terminator.
    static constexpr size_t kNameBufferSize = 256;

    // The first one constructed in the process becomes the shared instance.
    PakInterface();
    ~PakInterface();
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    PakFileHandle* Open(const wchar_t* name, const wchar_t* mode) override;
    // Modes "r", "rb" and "rt" look in the archives first; any other mode opens on disk.
    PakFileHandle* Open(const char* name, const char* mode) override;
    int Close(PakFileHandle* handle) override;
    // Positions in an entry are clamped to 0 ... size; always 0 for an entry.
    int Seek(PakFileHandle* handle, long offset, int origin) override;
    long Tell(PakFileHandle* handle) override;
    int Read(void* buffer, int elementSize, int count, PakFileHandle* handle) override;
    int GetChar(PakFileHandle* handle) override;
    // Steps back one byte of an entry; c itself is not stored.
    int UngetChar(int c, PakFileHandle* handle) override;
    wchar_t* GetLine(wchar_t* buffer, int size, PakFileHandle* handle) override;
    // Carriage returns are dropped; null when the entry ends before a byte is stored.
    char* GetLine(char* buffer, int size, PakFileHandle* handle) override;
    int AtEnd(PakFileHandle* handle) override;
    // Archive entries in key order, then matching disk files. Archive entries
    // match only patterns with a "*": the text before the first "*" is a key
    // prefix, the text after it a key suffix (".*" matches any).
    Platform::HANDLE FindFirst(const char* pattern, Platform::WIN32_FIND_DATAA* data) override;
    bool FindNext(Platform::HANDLE find, Platform::WIN32_FIND_DATAA* data) override;
    bool FindEnd(Platform::HANDLE find) override;

    // Adds an archive's entries over those mounted before. A file that cannot
    // be mapped or whose directory is damaged is refused, with a logged line,
    // and changes nothing.
    bool MountArchive(const std::string& path);

    // Writes the lookup form of name into out (kNameBufferSize bytes): the
    // current folder's prefix of an absolute name dropped, separator runs made
    // one "\", "\.." removing the component before it, a to z upper-cased.
    // False, with out cut short, when the form would exceed 255 characters.
    static bool NormalizePath(const char* name, char* out);

    // The archive half of a search: the next entry after the state's last key.
    bool MatchEntry(PakFindState* state, Platform::WIN32_FIND_DATAA* data);

private:
    std::list<PakArchive> mArchives;
    std::map<std::string, PakEntry> mEntries;
};

#pragma once

#include "platform/storage/Files.h"

#include <string>

// One search: archive entries first, then the disk.
struct PakFindState {
    // The disk search, invalid while archive entries are being listed.
    Platform::HANDLE findHandle = Platform::INVALID_HANDLE_VALUE;
    // Key of the last archive entry returned, once one was: an entry's key
    // may itself be empty.
    std::string lastKey;
    bool listedEntry = false;
    std::string pattern;
};

#pragma once

#include <cstdint>
#include <cstdio>

struct PakEntry;

// An open file: an archive entry read from its mapping, or a disk stream.
struct PakFileHandle {
    // Null for a disk file.
    PakEntry* entry = nullptr;
    // Between 0 and the entry's size.
    int32_t position = 0;
    // Null for an archive entry.
    FILE* file = nullptr;
};

#pragma once

#include "platform/storage/Files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One directory record with the absolute offset of its data.
struct PakRecord {
    std::string name;
    Platform::FILETIME fileTime;
    int32_t start = 0;
    int32_t size = 0;
};

// Reads the directory of a whole archive as stored (scrambled). Every record
// must lie inside the given bytes; a damaged or truncated archive gives false
// and the reason in error, and leaves records empty.
bool ReadPakDirectory(const uint8_t* bytes, size_t size, std::vector<PakRecord>* records, std::string* error);

#pragma once

#include "platform/storage/Files.h"

#include <cstdint>
#include <string>

struct PakArchive;

// One file inside a mounted archive.
struct PakEntry {
    PakArchive* archive = nullptr;
    // As stored, in the stored case.
    std::string name;
    Platform::FILETIME fileTime;
    // Offset of the first data byte from the beginning of the archive file.
    int32_t start = 0;
    int32_t size = 0;
};

#pragma once

#include "platform/storage/MappedFile.h"

#include <memory>

// One mounted archive file, kept mapped until its interface goes away.
struct PakArchive {
    // The whole file as stored, still scrambled.
    std::unique_ptr<Platform::MappedFile> view;
};

#pragma once

#include <atomic>
#include <cstdint>

namespace Lumo {

class Image;
class SharedImageTable;

// One image shared by everything that names the same file, counted by the
// SharedImageRef handles that refer to it. A record whose count falls to 0
// stays until its table sweeps it.
class SharedImage {
public:
    // A record outside any table is never swept.
    explicit SharedImage(SharedImageTable* table = nullptr) : mTable(table) {}
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    // Null until loaded. Owned by the table.
    Image* mImage = nullptr;
    // Handles may be copied and released on the loading thread while the
    // main thread sweeps.
    std::atomic<int32_t> mRefCount{0};
    SharedImageTable* const mTable;
};

} // namespace Lumo

#pragma once

#include <atomic>
#include <cstdint>

namespace Platform {

// Reference counting shared by the display objects: made with one reference,
// deleted when the last is released.
class DirectDrawObject {
public:
    DirectDrawObject();
    DirectDrawObject(const DirectDrawObject&) = delete;
    DirectDrawObject& operator=(const DirectDrawObject&) = delete;

    uint32_t AddRef();
    uint32_t Release();

    // Display objects alive in the process, for leak checks.
    static int32_t LiveObjects();

protected:
    virtual ~DirectDrawObject();

private:
    std::atomic<uint32_t> mReferences{1};
};

} // namespace Platform

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Platform {

// A read-only view of a whole file, kept until the object is destroyed.
class MappedFile {
public:
    // Null when the file cannot be opened, sized or mapped.
    static std::unique_ptr<MappedFile> Open(const std::string& name);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const uint8_t* Data() const { return mData; }
    size_t Size() const { return mSize; }

private:
    MappedFile(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    const uint8_t* mData;
    size_t mSize;
};

} // namespace Platform

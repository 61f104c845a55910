#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PakFileHandle;

namespace ImageLib {

// An image file opened through the archive layer for reading, closed when
// the reader goes out of scope.
class File {
public:
    explicit File(const std::string& name);
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool IsOpen() const { return mHandle != nullptr; }
    PakFileHandle* Handle() const { return mHandle; }
    // Bytes from the current position to the end.
    int64_t Remaining();
    // False when fewer than size bytes arrive.
    bool Read(void* buffer, size_t size);
    // As many of size bytes as the file still holds; the count read.
    size_t ReadUpTo(void* buffer, size_t size);
    // -1 at the end of the file.
    int ReadByte();
    bool ReadU16(uint16_t* value);

private:
    PakFileHandle* mHandle;
};

} // namespace ImageLib

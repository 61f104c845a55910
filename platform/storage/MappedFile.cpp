#include "platform/storage/MappedFile.h"

#include "platform/storage/Files.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& name)
{
    WholeFile opened = WholeFile::Missing;
    const int fd = OpenPlainFile(NativePath(name), &opened);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    size_t size = size_t(st.st_size);
    // An empty file maps nothing; it still opens, as a view of no bytes.
    void* view = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
    ::close(fd);
    if (view == MAP_FAILED)
        return nullptr;
    return std::unique_ptr<MappedFile>(new MappedFile(static_cast<const uint8_t*>(view), size));
}

MappedFile::~MappedFile()
{
    if (mData)
        ::munmap(const_cast<uint8_t*>(mData), mSize);
}

} // namespace Platform

#include "platform/storage/MappedFile.h"

#include "platform/storage/Files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& name)
{
    // Not blocking: opening a FIFO for reading would wait for a writer.
    int fd = ::open(NativePath(name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
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

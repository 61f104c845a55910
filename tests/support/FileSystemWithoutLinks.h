#pragma once

#include "platform/storage/AtomicFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace LumoTest {

// While it lives, the files the program writes are on a file system that
// takes no second name for a file (FAT, or one out of inodes) and has room
// for so many bytes more; a write that does not fit writes nothing.
class FileSystemWithoutLinks {
public:
    static constexpr size_t kFull = 0;
    static constexpr size_t kRoomy = SIZE_MAX;

    explicit FileSystemWithoutLinks(size_t room)
        : mPrevious(Platform::SetFileCalls({RefuseLink, WriteInRoom}))
    {
        sRoom = room;
    }
    ~FileSystemWithoutLinks() { Platform::SetFileCalls(mPrevious); }
    FileSystemWithoutLinks(const FileSystemWithoutLinks&) = delete;
    FileSystemWithoutLinks& operator=(const FileSystemWithoutLinks&) = delete;

private:
    static int RefuseLink(const char*, const char*)
    {
        errno = EPERM;
        return -1;
    }
    static ssize_t WriteInRoom(int fd, const void* bytes, size_t count)
    {
        if (count > sRoom) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t wrote = ::write(fd, bytes, count);
        if (wrote > 0 && sRoom != kRoomy)
            sRoom -= size_t(wrote);
        return wrote;
    }

    static inline size_t sRoom = kRoomy;
    Platform::FileCalls mPrevious;
};

} // namespace LumoTest

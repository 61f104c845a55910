#pragma once

#include "platform/storage/AtomicFile.h"

#include <unistd.h>

#include <cerrno>

namespace LumoTest {

// While it lives, the files the program writes are on a file system that
// takes no second name for a file (FAT, or one out of inodes) and, when full,
// no byte more.
class FileSystemWithoutLinks {
public:
    explicit FileSystemWithoutLinks(bool full)
        : mPrevious(Platform::SetFileCalls({RefuseLink, full ? RefuseWrite : ::write}))
    {
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
    static ssize_t RefuseWrite(int, const void*, size_t)
    {
        errno = ENOSPC;
        return -1;
    }

    Platform::FileCalls mPrevious;
};

} // namespace LumoTest

#include "platform/storage/AtomicFile.h"

#include "platform/storage/Files.h"
#include "platform/storage/TemporaryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace Platform {

namespace {

bool Fail(const std::string& path, const char* step, std::string* error)
{
    *error = "Cannot write \"" + path + "\" (" + step + "): " + std::strerror(errno);
    return false;
}

// A tag no other write of this process or another is likely to pick; the
// exclusive create settles the rare clash.
uint64_t TemporaryNumber()
{
    static std::atomic<uint64_t> sCount{0};
    uint64_t mixed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                     (uint64_t(::getpid()) << 32) ^ (++sCount * 0x9E3779B97F4A7C15ull);
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
    return mixed ^ (mixed >> 31);
}

FileCalls gCalls = {::link, ::write};

// Made as any new file is, so the umask and the folder's default access
// apply; the replaced file's permissions then go over them, except that the
// owner may always read it: the program could not read back a file it wrote
// under a mode that denies that.
int CreateTemporary(const std::string& target, std::string* name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[kTemporaryTagLength];
        MakeTemporaryTag(TemporaryNumber(), tag);
        std::string room(target.size() + kTemporaryNameGrowth + 1, '\0');
        if (!MakeTemporaryName(target.c_str(), tag, room.data(), room.size())) {
            errno = EINVAL;
            return -1;
        }
        *name = room.c_str();
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            struct stat replaced;
            if (fd >= 0 && ::lstat(target.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode))
                ::fchmod(fd, (replaced.st_mode & 0777) | S_IRUSR);
            return fd;
        }
    }
    return -1;
}

// False with errno when not all the bytes went.
bool WriteAll(int fd, const char* bytes, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t wrote = gCalls.write(fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            return false;
        if (wrote == 0) {
            errno = ENOSPC;
            return false;
        }
        done += size_t(wrote);
    }
    return true;
}

// Flushes and closes a file whose bytes went, or closes one whose failed
// step is named, with errno; the file goes again when any step failed. The
// step that failed, with errno; null when all went.
const char* FlushAndClose(int fd, const std::string& name, const char* failed)
{
    failed = failed ? failed : ::fsync(fd) != 0 ? "flush" : nullptr;
    int error = errno;
    if (::close(fd) != 0 && !failed) {
        failed = "flush";
        error = errno;
    }
    if (failed) {
        ::unlink(name.c_str());
        errno = error;
    }
    return failed;
}

// Writes, flushes and closes; the file goes again when any of that failed.
// The step that failed, with errno; null when all went.
const char* Finish(int fd, const std::string& name, const std::string& bytes)
{
    return FlushAndClose(fd, name, WriteAll(fd, bytes.data(), bytes.size()) ? nullptr : "write");
}

// The rest of one file into another, a piece at a time, so that no size is
// too large to copy; false with errno when a read or a write failed.
bool CopyBytes(int from, int to)
{
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(from, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!WriteAll(to, chunk, size_t(got)))
            return false;
    }
}

// A copy made under a name nobody holds; errno EEXIST when one does.
bool CopyFile(const std::string& from, const std::string& to)
{
    WholeFile opened = WholeFile::Missing;
    const int in = OpenPlainFile(from, &opened);
    if (in < 0) {
        errno = EINVAL;
        return false;
    }
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool copied = false;
    if (fd >= 0) {
        struct stat original;
        if (::fstat(in, &original) == 0)
            ::fchmod(fd, original.st_mode & 0777);
        copied = FlushAndClose(fd, to, CopyBytes(in, fd) ? nullptr : "copy") == nullptr;
    }
    const int error = errno;
    ::close(in);
    errno = error;
    return copied;
}

// The bytes in the target's place, through a temporary in its folder.
bool Replace(const std::string& target, const std::string& folder, const std::string& bytes, std::string* error)
{
    std::string name;
    const int fd = CreateTemporary(target, &name);
    if (fd < 0)
        return Fail(target, "create", error);
    if (const char* failed = Finish(fd, name, bytes))
        return Fail(target, failed, error);
    if (::rename(name.c_str(), target.c_str()) != 0) {
        Fail(target, "rename", error);
        ::unlink(name.c_str());
        return false;
    }
    // The rename itself lives in the folder.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace

FileCalls SetFileCalls(const FileCalls& calls)
{
    const FileCalls previous = gCalls;
    gCalls = calls;
    return previous;
}

std::string LinkTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error, AtLink atLink)
{
    // A rename over a link replaces the link.
    const std::string target = atLink == AtLink::kWriteThrough ? LinkTarget(path) : path;
    const size_t cut = target.find_last_of('/');
    const std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : target.substr(0, cut);
    const bool written = Replace(target, folder, bytes, error);
    // After the write, which must not wait for the log. A folder that a link
    // leads to is another's place: a synced folder, say, whose files may
    // carry another machine's times.
    if (target == path)
        SweepStaleTemporaries(folder);
    return written;
}

bool KeepDamagedCopy(const std::string& path, std::string* copy)
{
    const std::string target = LinkTarget(path);
    for (int number = 0; number < 1000; ++number) {
        *copy = target + ".damaged" + (number > 0 ? "." + std::to_string(number) : "");
        // A second name for the file: it stays in place until a write has
        // its replacement ready, and a name in use is never taken over. It
        // needs no right to read the file.
        if (gCalls.link(target.c_str(), copy->c_str()) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        // A file system without links, or without room for one more: a copy
        // of the bytes, and the file still stays where it is.
        if (errno != ENOENT && CopyFile(target, *copy))
            return true;
        if (errno != EEXIST)
            break;
    }
    copy->clear();
    struct stat there;
    return ::lstat(target.c_str(), &there) != 0 && errno == ENOENT;
}

} // namespace Platform

#include "platform/storage/LogFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Platform {

LogFile::~LogFile() { Close(); }

LogFile::OpenResult LogFile::Open(const std::string& path)
{
    Close();
    // A second try once a name the game did not make (a symbolic link, a second
    // name of another file) has gone: what it leads to is not the log's to empty.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0644);
        if (fd < 0 && errno == ELOOP && attempt == 0 && ::unlink(path.c_str()) == 0)
            continue;
        if (fd < 0)
            return OpenResult::Failed;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool inUse = errno == EWOULDBLOCK;
            ::close(fd);
            return inUse ? OpenResult::InUse : OpenResult::Failed;
        }
        struct stat st;
        const bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        if (plain && st.st_nlink > 1 && attempt == 0 && ::unlink(path.c_str()) == 0) {
            ::close(fd);
            continue;
        }
        if (!plain || st.st_nlink > 1 || ::ftruncate(fd, 0) != 0) {
            ::close(fd);
            return OpenResult::Failed;
        }
        mFd = fd;
        return OpenResult::Opened;
    }
    return OpenResult::Failed;
}

void LogFile::Close()
{
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
}

void LogFile::Write(const std::string& bytes)
{
    size_t done = 0;
    while (mFd >= 0 && done < bytes.size()) {
        const ssize_t wrote = ::write(mFd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return;
        done += size_t(wrote);
    }
}

} // namespace Platform

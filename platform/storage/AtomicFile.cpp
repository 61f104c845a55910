#include "platform/storage/AtomicFile.h"

#include "platform/process/Log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace Platform {

namespace {

bool Fail(const std::string& path, const char* step)
{
    LogLine("Cannot write \"" + path + "\" (" + step + "): " + std::strerror(errno));
    return false;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return Fail(path, "create");
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            Fail(path, "write");
            ::close(fd);
            ::unlink(name.data());
            return false;
        }
        done += size_t(wrote);
    }
    bool synced = ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced) {
        Fail(path, "flush");
        ::unlink(name.data());
        return false;
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        Fail(path, "rename");
        ::unlink(name.data());
        return false;
    }
    // The rename itself lives in the folder.
    size_t cut = path.find_last_of('/');
    std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace Platform

#include "platform/storage/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

namespace Platform {

namespace {

// mkstemp's suffix: six letters or digits.
constexpr const char* kTemporarySuffix = ".XXXXXX";
constexpr size_t kSuffixLength = 7;
// No write of a settings-sized file takes this long.
constexpr auto kStaleAge = std::chrono::minutes(10);

bool Fail(const std::string& path, const char* step, std::string* error)
{
    *error = "Cannot write \"" + path + "\" (" + step + "): " + std::strerror(errno);
    return false;
}

bool IsTemporaryOf(const std::string& name, const std::string& base)
{
    if (name.size() != base.size() + kSuffixLength || name.compare(0, base.size(), base) != 0 ||
        name[base.size()] != '.')
        return false;
    for (size_t i = base.size() + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

} // namespace

std::string LinkTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error)
{
    const std::string target = LinkTarget(path);
    std::string pattern = target + kTemporarySuffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return Fail(target, "create", error);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            Fail(target, "write", error);
            ::close(fd);
            ::unlink(name.data());
            return false;
        }
        done += size_t(wrote);
    }
    bool synced = ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced) {
        Fail(target, "flush", error);
        ::unlink(name.data());
        return false;
    }
    if (::rename(name.data(), target.c_str()) != 0) {
        Fail(target, "rename", error);
        ::unlink(name.data());
        return false;
    }
    // The rename itself lives in the folder.
    size_t cut = target.find_last_of('/');
    std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : target.substr(0, cut);
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

void RemoveStaleTemporaries(const std::string& path)
{
    const std::filesystem::path target(LinkTarget(path));
    const std::string base = target.filename().string();
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::error_code error;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!IsTemporaryOf(entry.path().filename().string(), base) || !entry.is_regular_file(error))
            continue;
        const auto written = entry.last_write_time(error);
        if (!error && now - written > kStaleAge)
            std::filesystem::remove(entry.path(), error);
    }
}

} // namespace Platform

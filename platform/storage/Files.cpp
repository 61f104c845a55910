#include "platform/storage/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <strings.h>
#include <vector>

namespace Platform {

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> SplitComponents(const std::string& name)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : name) {
        if (c == '\\' || c == '/') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

// The entry of folder whose name equals part without regard to case, or part.
std::string MatchInFolder(const std::string& folder, const std::string& part)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return part;
    std::string found = part;
    while (dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, part.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool WildcardMatch(const char* pattern, const char* name)
{
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (*pattern == '?' || std::tolower(uint8_t(*pattern)) == std::tolower(uint8_t(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool PatternMatches(const std::string& pattern, const std::string& name)
{
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Windows lets "x.*" match a name without an extension, and "*." match only such names.
    if (WildcardMatch(pattern.c_str(), name.c_str()))
        return true;
    if (name.find('.') == std::string::npos)
        return WildcardMatch(pattern.c_str(), (name + ".").c_str());
    return false;
}

struct FindState {
    std::string folder;
    std::vector<std::string> names;
    size_t next = 0;
};

FILETIME TimeOf(const struct timespec& ts) { return UnixTimeToFileTime(ts.tv_sec, uint32_t(ts.tv_nsec)); }

bool FillFindData(const FindState& state, const std::string& name, WIN32_FIND_DATAA* data)
{
    struct stat st;
    std::string path = state.folder.empty() ? name : state.folder + "/" + name;
    // A dangling link is still listed (as itself), so callers can delete it.
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0)
        return false;
    *data = WIN32_FIND_DATAA();
    data->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (!S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK) != 0)
        data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    data->ftCreationTime = TimeOf(st.st_ctim);
    data->ftLastAccessTime = TimeOf(st.st_atim);
    data->ftLastWriteTime = TimeOf(st.st_mtim);
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : uint64_t(st.st_size);
    data->nFileSizeHigh = uint32_t(size >> 32);
    data->nFileSizeLow = uint32_t(size);
    std::snprintf(data->cFileName, sizeof(data->cFileName), "%s", name.c_str());
    return true;
}

bool NextMatch(FindState* state, WIN32_FIND_DATAA* data)
{
    while (state->next < state->names.size()) {
        if (FillFindData(*state, state->names[state->next++], data))
            return true;
    }
    return false;
}

// The open flags of an fopen mode that writes; -1, with errno, for no such mode.
int WriteFlags(const char* mode)
{
    const int access = std::strchr(mode, '+') ? O_RDWR : O_WRONLY;
    const int exclusive = std::strchr(mode, 'x') ? O_EXCL : 0;
    switch (mode[0]) {
    case 'r':
        return O_RDWR;
    case 'w':
        return access | O_CREAT | O_TRUNC | exclusive;
    case 'a':
        return access | O_CREAT | O_APPEND | exclusive;
    default:
        errno = EINVAL;
        return -1;
    }
}

} // namespace

uint64_t FileTimeToU64(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

FILETIME U64ToFileTime(uint64_t value) { return FILETIME{uint32_t(value), uint32_t(value >> 32)}; }

FILETIME UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds)
{
    return U64ToFileTime(uint64_t(seconds) * 10000000ULL + nanoseconds / 100 + kUnixEpochAsFileTime);
}

int64_t FileTimeToUnixTime(const FILETIME& time)
{
    return (int64_t(FileTimeToU64(time)) - int64_t(kUnixEpochAsFileTime)) / 10000000;
}

bool IsAbsolutePath(const std::string& name) { return !name.empty() && (name[0] == '/' || name[0] == '\\'); }

std::string NativePath(const std::string& name)
{
    std::string direct = name;
    std::replace(direct.begin(), direct.end(), '\\', '/');
    if (direct.empty() || Exists(direct))
        return direct;

    std::string path = IsAbsolutePath(name) ? "/" : "";
    bool searching = true;
    for (const std::string& part : SplitComponents(name)) {
        if (part.empty())
            continue;
        std::string parent = path;
        if (!parent.empty() && parent.back() != '/')
            parent += '/';
        std::string joined = parent + part;
        if (searching && part != "." && part != ".." && !Exists(joined)) {
            std::string match = MatchInFolder(path.empty() ? "." : path, part);
            if (match == part)
                searching = false;
            joined = parent + match;
        }
        path = joined;
    }
    return path;
}

int OpenPlainFile(const std::string& path, WholeFile* result)
{
    // Not blocking: opening a FIFO for reading would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // A file that may not be read is still there, and must not pass for one that is not.
        *result = errno == ENOENT || errno == ENOTDIR ? WholeFile::Missing : WholeFile::Unreadable;
        return -1;
    }
    struct stat st;
    *result = ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ? WholeFile::NotAFile : WholeFile::Read;
    if (*result != WholeFile::Read) {
        ::close(fd);
        return -1;
    }
    // Reads of a plain file never wait for long; those who read on may block.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

FILE* OpenFile(const char* name, const char* mode)
{
    const std::string path = NativePath(name);
    if (mode[0] != 'r' || std::strchr(mode, '+')) {
        // What writes never follows a link by the file's name.
        const int flags = WriteFlags(mode);
        const int fd = flags < 0 ? -1 : ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0666);
        FILE* file = fd >= 0 ? ::fdopen(fd, mode) : nullptr;
        if (fd >= 0 && !file)
            ::close(fd);
        return file;
    }
    // What is read must come to an end: no FIFO, device or folder.
    WholeFile opened = WholeFile::Missing;
    const int fd = OpenPlainFile(path, &opened);
    FILE* file = fd >= 0 ? ::fdopen(fd, mode) : nullptr;
    if (fd >= 0 && !file)
        ::close(fd);
    return file;
}

WholeFile ReadWholeFile(const std::string& path, uint64_t limit, std::string* bytes)
{
    bytes->clear();
    WholeFile result = WholeFile::Missing;
    const int fd = OpenPlainFile(path, &result);
    if (fd < 0)
        return result;
    struct stat st;
    if (::fstat(fd, &st) == 0 && uint64_t(st.st_size) > limit)
        result = WholeFile::TooLarge;
    char chunk[65536];
    ssize_t count = 0;
    int error = 0;
    while (result == WholeFile::Read && (count = ::read(fd, chunk, sizeof(chunk))) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        // What was read before a failure is only part of the file.
        if (count < 0) {
            error = errno;
            result = WholeFile::Unreadable;
        } else if (bytes->size() + size_t(count) > limit) {
            // A file that grows while it is read is held to the limit all the same.
            result = WholeFile::TooLarge;
        } else {
            bytes->append(chunk, size_t(count));
        }
    }
    ::close(fd);
    if (result != WholeFile::Read)
        bytes->clear();
    if (error)
        errno = error;
    return result;
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data)
{
    std::string native = NativePath(pattern);
    size_t slash = native.rfind('/');
    auto state = std::make_unique<FindState>();
    std::string leaf = native;
    if (slash != std::string::npos) {
        state->folder = slash == 0 ? "/" : native.substr(0, slash);
        leaf = native.substr(slash + 1);
    }
    // A pattern without wildcards names one entry, which NativePath already matched.
    DIR* dir = ::opendir(state->folder.empty() ? "." : state->folder.c_str());
    if (!dir)
        return INVALID_HANDLE_VALUE;
    while (dirent* entry = ::readdir(dir)) {
        if (PatternMatches(leaf, entry->d_name))
            state->names.push_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(state->names.begin(), state->names.end());
    if (!NextMatch(state.get(), data))
        return INVALID_HANDLE_VALUE;
    return state.release();
}

bool FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data)
{
    if (find == nullptr || find == INVALID_HANDLE_VALUE)
        return false;
    return NextMatch(static_cast<FindState*>(find), data);
}

bool FindClose(HANDLE find)
{
    if (find == nullptr || find == INVALID_HANDLE_VALUE)
        return false;
    delete static_cast<FindState*>(find);
    return true;
}

uint32_t GetFileAttributesA(const char* name)
{
    struct stat st;
    std::string path = NativePath(name);
    if (::stat(path.c_str(), &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(st.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return ::access(path.c_str(), W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

bool DeleteFileA(const char* name) { return ::unlink(NativePath(name).c_str()) == 0; }

bool RemoveDirectoryA(const char* name) { return ::rmdir(NativePath(name).c_str()) == 0; }

bool CreateDirectoryA(const char* name) { return ::mkdir(NativePath(name).c_str(), 0755) == 0; }

std::string GetCurrentDirectoryA()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

bool SetCurrentDirectoryA(const char* name) { return ::chdir(NativePath(name).c_str()) == 0; }

} // namespace Platform

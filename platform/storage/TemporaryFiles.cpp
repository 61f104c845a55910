#include "platform/storage/TemporaryFiles.h"

#include "platform/process/Log.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <set>
#include <tuple>

namespace Platform {

namespace {

constexpr char kInfix[] = ".~lumo-tmp-";
constexpr size_t kInfixLength = sizeof kInfix - 1;
static_assert(kTemporaryNameGrowth == 1 + kInfixLength + kTemporaryTagLength, "the dot, the infix and the tag");
constexpr char kTagLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr uint64_t kTagLetterCount = sizeof kTagLetters - 1;
// No write of ours takes this long: a younger temporary may be one that a
// process is writing now.
constexpr time_t kStaleSeconds = 10 * 60;

char* Append(char* at, const char* from, size_t length)
{
    std::memcpy(at, from, length);
    return at + length;
}

bool IsTagLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// True the first time this run that the folder, by its name and by what is
// there under it, comes to be swept.
bool FirstVisit(const std::string& folder, const struct stat& there)
{
    static std::mutex sMutex;
    static std::set<std::tuple<std::string, dev_t, ino_t>> sSwept;
    std::lock_guard<std::mutex> lock(sMutex);
    return sSwept.emplace(folder, there.st_dev, there.st_ino).second;
}

// The folder opened for listing, reached one name at a time from "/" or,
// for a relative path, from the working folder: none of the names may be a
// link, or the folder would be another's place (a synced folder, say, whose
// files carry another machine's times). -1 otherwise; an O_PATH step needs
// no right to list the folders above.
int OpenWithoutLinks(const std::string& folder)
{
    int at = ::open(folder[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (size_t start = folder.find_first_not_of('/'); at >= 0 && start != std::string::npos;) {
        const size_t end = folder.find('/', start);
        const std::string name = folder.substr(start, end - start);
        start = folder.find_first_not_of('/', end);
        const int next = ::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(at);
        at = next;
    }
    if (at < 0)
        return -1;
    const int listed = ::openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(at);
    return listed;
}

} // namespace

bool MakeTemporaryName(const char* path, const char* tag, char* out, size_t room)
{
    const char* slash = std::strrchr(path, '/');
    const size_t folderLength = slash ? size_t(slash - path) + 1 : 0;
    const size_t nameLength = std::strlen(path + folderLength);
    if (nameLength == 0 || folderLength + 1 + nameLength + kInfixLength + kTemporaryTagLength >= room)
        return false;
    char* at = Append(out, path, folderLength);
    at = Append(at, ".", 1);
    at = Append(at, path + folderLength, nameLength);
    at = Append(at, kInfix, kInfixLength);
    at = Append(at, tag, kTemporaryTagLength);
    *at = '\0';
    return true;
}

void MakeTemporaryTag(uint64_t number, char* tag)
{
    for (size_t i = 0; i < kTemporaryTagLength; ++i, number /= kTagLetterCount)
        tag[i] = kTagLetters[number % kTagLetterCount];
}

bool IsTemporaryName(const std::string& name)
{
    if (name.size() < 2 + kInfixLength + kTemporaryTagLength || name[0] != '.')
        return false;
    const size_t tag = name.size() - kTemporaryTagLength;
    if (name.compare(tag - kInfixLength, kInfixLength, kInfix) != 0)
        return false;
    for (size_t i = tag; i < name.size(); ++i)
        if (!IsTagLetter(name[i]))
            return false;
    return true;
}

void SweepStaleTemporaries(const std::string& folder)
{
    std::string named = folder;
    while (named.size() > 1 && named.back() == '/')
        named.pop_back();
    const int fd = named.empty() ? -1 : OpenWithoutLinks(named);
    if (fd < 0)
        return;
    // A relative name names another folder wherever the working folder
    // moves, and a new folder may have a removed one's number.
    std::string whole = named;
    char here[PATH_MAX];
    if (named[0] != '/' && ::getcwd(here, sizeof here))
        whole = std::string(here) + "/" + named;
    struct stat there;
    DIR* listing = ::fstat(fd, &there) == 0 && FirstVisit(whole, there) ? ::fdopendir(fd) : nullptr;
    if (!listing) {
        ::close(fd);
        return;
    }
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        struct stat file;
        // Looked at, never opened: a fifo does not block, a link is not
        // followed. No write of ours leaves another user's file, nor one
        // with a second name: such a file only bears a name like ours.
        if (!IsTemporaryName(name) || ::fstatat(fd, name.c_str(), &file, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(file.st_mode) || file.st_uid != ::geteuid() || file.st_nlink != 1 ||
            now.tv_sec - file.st_mtim.tv_sec <= kStaleSeconds)
            continue;
        if (::unlinkat(fd, name.c_str(), 0) == 0)
            LogLine("Removed \"" + (named == "/" ? "" : named) + "/" + name + "\", left by a write that was cut off");
    }
    ::closedir(listing);
}

} // namespace Platform

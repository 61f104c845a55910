#include "platform/process/InstanceMutex.h"

#include "platform/storage/Folders.h"
#include "platform/process/Log.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace Platform {

namespace {

std::mutex gMutex;
std::map<uintptr_t, int> gHandles; // handle to lock file, -1 when not held
uintptr_t gNextHandle = 0x1000;

// A copy of the process that fork() makes is never the instance: it lets go
// of the locks, which are the program's alone, so that they end with it. (A
// program started by exec closes them itself.)
void LockForFork() { gMutex.lock(); }
void UnlockAfterFork() { gMutex.unlock(); }
void LetGoInCopy()
{
    for (auto& entry : gHandles) {
        if (entry.second >= 0)
            ::close(entry.second);
        entry.second = -1;
    }
    gMutex.unlock();
}

// Keeps the name one file name in the runtime folder.
std::string FileNameOf(const std::string& name)
{
    std::string file;
    for (char c : name)
        file += (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
    return file + ".lock";
}

} // namespace

HANDLE CreateMutexA(const char* name, bool* alreadyExists)
{
    if (!name || !*name || !alreadyExists)
        return nullptr;
    std::string folder = RuntimeFolder();
    CreateFolderPath(folder);
    std::string path = folder + "/" + FileNameOf(name);
    *alreadyExists = false;
    [[maybe_unused]] static const int copiesLetGo = ::pthread_atfork(LockForFork, UnlockAfterFork, LetGoInCopy);
    // A link by the lock's name may lead anywhere: no file is made through it.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        LogLine("Cannot make the lock \"" + path + "\": " + std::strerror(errno));
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Only another holder keeps the program from starting.
        *alreadyExists = errno == EWOULDBLOCK;
        if (!*alreadyExists)
            LogLine("Cannot lock \"" + path + "\": " + std::strerror(errno));
        ::close(fd);
        fd = -1;
    }
    std::lock_guard<std::mutex> lock(gMutex);
    uintptr_t handle = gNextHandle++;
    gHandles.emplace(handle, fd);
    return reinterpret_cast<HANDLE>(handle);
}

bool CloseHandle(HANDLE mutex)
{
    std::lock_guard<std::mutex> lock(gMutex);
    auto found = gHandles.find(reinterpret_cast<uintptr_t>(mutex));
    if (found == gHandles.end())
        return false;
    if (found->second >= 0)
        ::close(found->second);
    gHandles.erase(found);
    return true;
}

} // namespace Platform

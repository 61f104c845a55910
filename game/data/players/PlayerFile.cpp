#include "game/data/players/PlayerFile.h"

#include "framework/core/AppLog.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/SharedPak.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

std::optional<std::string> PlayerFile::Read(size_t limit)
{
    PakFileHandle* file = Lumo::PakOpen((Lumo::GetUserDataFolder() + mName).c_str(), "rb");
    if (!file) {
        // Only a file that is not there goes without a word; one that is
        // there is kept from the next write, though nothing of it is read.
        Platform::WholeFile found = Platform::WholeFile::Missing;
        const int fd = Platform::OpenPlainFile(Path(), &found);
        const int cause = errno;
        if (fd >= 0)
            ::close(fd);
        if (found != Platform::WholeFile::Missing)
            NotRead(found == Platform::WholeFile::NotAFile ? "no plain file" : std::strerror(cause));
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    while (bytes.size() <= limit) {
        int got = Lumo::PakRead(chunk, 1, int(sizeof chunk), file);
        if (got <= 0)
            break;
        bytes.append(chunk, size_t(got));
    }
    // A read that failed before the end gave only part of the file.
    if (bytes.size() <= limit && !Lumo::PakAtEnd(file))
        NotRead(std::strerror(errno));
    Lumo::PakClose(file);
    if (bytes.size() > limit + 1)
        bytes.resize(limit + 1);
    return bytes;
}

void PlayerFile::NotRead(const char* cause)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: %s cannot be read (%s)", mName, cause);
    MarkDamaged();
}

bool PlayerFile::Write(const std::string& bytes)
{
    const std::string path = Path();
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    if (mDamaged) {
        // Until a copy is kept or the file is gone, every write tries again,
        // and none writes over it.
        std::string copy;
        if (!Platform::KeepDamagedCopy(path, &copy)) {
            log->Printf(Lumo::AppLog::kToFile,
                        "ERROR: no copy of the damaged %s could be kept; it is not written over", mName);
            return false;
        }
        if (!copy.empty())
            log->Printf(Lumo::AppLog::kToFile, "The damaged %s is kept as \"%s\"", mName, copy.c_str());
        mDamaged = false;
    }
    std::string error;
    if (Platform::WriteFileAtomically(path, bytes, &error))
        return true;
    log->Printf(Lumo::AppLog::kToFile, "ERROR: can't write %s (%s)", mName, error.c_str());
    return false;
}

std::string PlayerFile::Path() const { return Platform::NativePath(Lumo::GetUserDataFolder() + mName); }

void PlayerFile::PutInt32(std::string& bytes, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(char(uint32_t(value) >> (8 * i)));
}

int32_t PlayerFile::GetInt32(const char* bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(uint8_t(bytes[i])) << (8 * i);
    return int32_t(value);
}

bool PlayerFile::IsCleanName(const char* field, size_t size)
{
    size_t end = 0;
    while (end < size && field[end] != 0)
        ++end;
    if (end == size)
        return false;
    for (size_t i = end; i < size; ++i) {
        if (field[i] != 0)
            return false;
    }
    return true;
}

#include "game/data/PlayerFile.h"

#include "framework/core/AppLog.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/SharedPak.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

namespace {

std::optional<std::string> ReadFrom(const std::string& path, size_t limit)
{
    PakFileHandle* file = Lumo::PakOpen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    while (bytes.size() <= limit) {
        int got = Lumo::PakRead(chunk, 1, int(sizeof chunk), file);
        if (got <= 0)
            break;
        bytes.append(chunk, size_t(got));
    }
    Lumo::PakClose(file);
    if (bytes.size() > limit + 1)
        bytes.resize(limit + 1);
    return bytes;
}

} // namespace

std::optional<std::string> PlayerFile::Read(const std::string& name, size_t limit)
{
    std::optional<std::string> bytes = ReadFrom(Lumo::GetUserDataFolder() + name, limit);
    if (!bytes)
        bytes = ReadFrom(name, limit);
    return bytes;
}

bool PlayerFile::Write(const std::string& name, const std::string& bytes)
{
    const std::string folder = Lumo::GetUserDataFolder();
    std::string error;
    if (!folder.empty()) {
        const std::string path = Platform::NativePath(folder + name);
        // Writes killed halfway leave their temporaries beside the file.
        Platform::RemoveStaleTemporaries(path);
        if (Platform::WriteFileAtomically(path, bytes, &error))
            return true;
    }
    if (Platform::WriteFileAtomically(Platform::NativePath(name), bytes, &error))
        return true;
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: can't write %s (%s)", name.c_str(),
                                        error.c_str());
    return false;
}

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

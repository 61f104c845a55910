#include "framework/resources/PakInterface.h"

#include "framework/resources/PakDirectory.h"
#include "framework/resources/PakDiskFile.h"
#include "framework/resources/PakFormat.h"
#include "framework/resources/SharedPak.h"
#include "framework/core/AppLog.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr size_t kMaxNormalizedLength = PakInterface::kNameBufferSize - 1;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Archive entries are read only for the plain read modes.
bool IsReadMode(const char* mode)
{
    for (const char* readMode : {"r", "rb", "rt"}) {
        size_t i = 0;
        while (mode[i] && readMode[i] && PakFormat::ToUpperAscii(mode[i]) == PakFormat::ToUpperAscii(readMode[i]))
            ++i;
        if (!mode[i] && !readMode[i])
            return true;
    }
    return false;
}

// An absolute name inside the current folder becomes relative to it. Separators
// compare equal whichever way they lean, letters without regard to case.
const char* SkipCurrentFolder(const char* name)
{
    if (!IsSeparator(name[0]))
        return name;
    std::string prefix = Platform::GetCurrentDirectoryA();
    if (prefix.empty() || prefix.size() > kMaxNormalizedLength)
        return name;
    if (!IsSeparator(prefix.back()))
        prefix += '/';
    for (size_t i = 0; i < prefix.size(); ++i) {
        bool same = IsSeparator(prefix[i]) ? IsSeparator(name[i])
                                           : PakFormat::ToUpperAscii(prefix[i]) == PakFormat::ToUpperAscii(name[i]);
        if (!same)
            return name;
    }
    return name + prefix.size();
}

// The bytes of an entry as stored, still scrambled.
const uint8_t* StoredBytes(const PakEntry& entry) { return entry.archive->view->Data() + entry.start; }

void ReportRefusedArchive(const std::string& path, const std::string& reason)
{
    Lumo::AppLog::GetInstance()->Printf(2, "ERROR PakInterface - archive \"%s\" refused: %s", path.c_str(),
                                        reason.c_str());
}

} // namespace

PakInterface::PakInterface() { Lumo::PublishSharedPak(this); }

PakInterface::~PakInterface() { Lumo::WithdrawSharedPak(this); }

PakFileHandle* PakInterface::Open(const wchar_t*, const wchar_t*) { return nullptr; }

PakFileHandle* PakInterface::Open(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    if (IsReadMode(mode)) {
        char key[kNameBufferSize];
        if (NormalizePath(name, key)) {
            auto found = mEntries.find(key);
            if (found != mEntries.end())
                return new PakFileHandle{&found->second, 0, nullptr};
        }
    }
    return PakDiskFile::Open(name, mode);
}

int PakInterface::Close(PakFileHandle* handle)
{
    if (handle && handle->entry)
        delete handle;
    else
        PakDiskFile::Close(handle);
    return 0;
}

int PakInterface::Seek(PakFileHandle* handle, long offset, int origin)
{
    if (!handle || !handle->entry)
        return PakDiskFile::Seek(handle, offset, origin);
    const int64_t size = handle->entry->size;
    int64_t position = handle->position;
    // Offsets beyond the 32-bit range only ever clamp.
    const int64_t step = std::clamp<int64_t>(offset, -(int64_t(1) << 32), int64_t(1) << 32);
    switch (origin) {
    case 0:
        position = step;
        break;
    case 1:
        position += step;
        break;
    case 2:
        position = size + step;
        break;
    default:
        break;
    }
    handle->position = int32_t(std::clamp<int64_t>(position, 0, size));
    return 0;
}

long PakInterface::Tell(PakFileHandle* handle)
{
    if (!handle || !handle->entry)
        return PakDiskFile::Tell(handle);
    return handle->position;
}

int PakInterface::Read(void* buffer, int elementSize, int count, PakFileHandle* handle)
{
    if (!handle || !handle->entry)
        return PakDiskFile::Read(buffer, elementSize, count, handle);
    if (elementSize <= 0 || count <= 0)
        return 0;
    const int64_t wanted = int64_t(elementSize) * count;
    const int64_t left = std::max(handle->entry->size - handle->position, 0);
    const int32_t length = int32_t(std::min(wanted, left));
    const uint8_t* source = StoredBytes(*handle->entry) + handle->position;
    uint8_t* target = static_cast<uint8_t*>(buffer);
    for (int32_t i = 0; i < length; ++i)
        target[i] = source[i] ^ PakFormat::kScrambleKey;
    handle->position += length;
    return length / elementSize;
}

int PakInterface::GetChar(PakFileHandle* handle)
{
    if (!handle || !handle->entry)
        return PakDiskFile::GetChar(handle);
    const uint8_t* bytes = StoredBytes(*handle->entry);
    while (handle->position < handle->entry->size) {
        uint8_t c = bytes[handle->position++] ^ PakFormat::kScrambleKey;
        if (c != '\r')
            return c;
    }
    return -1;
}

int PakInterface::UngetChar(int c, PakFileHandle* handle)
{
    if (!handle || !handle->entry)
        return PakDiskFile::UngetChar(c, handle);
    handle->position = std::max(handle->position - 1, 0);
    return c;
}

wchar_t* PakInterface::GetLine(wchar_t* buffer, int, PakFileHandle*) { return buffer; }

char* PakInterface::GetLine(char* buffer, int size, PakFileHandle* handle)
{
    if (!handle || !handle->entry)
        return PakDiskFile::GetLine(buffer, size, handle);
    if (size <= 0)
        return nullptr;
    const uint8_t* bytes = StoredBytes(*handle->entry);
    int stored = 0;
    while (stored < size - 1 && handle->position < handle->entry->size) {
        char c = char(bytes[handle->position++] ^ PakFormat::kScrambleKey);
        if (c == '\r')
            continue;
        buffer[stored++] = c;
        if (c == '\n')
            break;
    }
    // Only the end was found: the buffer stays as it was.
    if (stored == 0 && size > 1)
        return nullptr;
    buffer[stored] = '\0';
    return buffer;
}

int PakInterface::AtEnd(PakFileHandle* handle)
{
    if (!handle || !handle->entry)
        return PakDiskFile::AtEnd(handle);
    return handle->position >= handle->entry->size ? 1 : 0;
}

Platform::HANDLE PakInterface::FindFirst(const char* pattern, Platform::WIN32_FIND_DATAA* data)
{
    if (!pattern || !data)
        return Platform::INVALID_HANDLE_VALUE;
    auto state = new PakFindState;
    char normalized[kNameBufferSize];
    if (NormalizePath(pattern, normalized)) {
        state->pattern = normalized;
        if (MatchEntry(state, data))
            return state;
    } else {
        // Too long to be any entry's key: only the disk can hold it.
        state->pattern = pattern;
    }
    state->findHandle = Platform::FindFirstFileA(state->pattern.c_str(), data);
    if (state->findHandle == Platform::INVALID_HANDLE_VALUE) {
        delete state;
        return Platform::INVALID_HANDLE_VALUE;
    }
    return state;
}

bool PakInterface::FindNext(Platform::HANDLE find, Platform::WIN32_FIND_DATAA* data)
{
    if (!find || find == Platform::INVALID_HANDLE_VALUE || !data)
        return false;
    auto state = static_cast<PakFindState*>(find);
    if (state->findHandle != Platform::INVALID_HANDLE_VALUE)
        return Platform::FindNextFileA(state->findHandle, data);
    if (MatchEntry(state, data))
        return true;
    state->findHandle = Platform::FindFirstFileA(state->pattern.c_str(), data);
    return state->findHandle != Platform::INVALID_HANDLE_VALUE;
}

bool PakInterface::FindEnd(Platform::HANDLE find)
{
    if (!find || find == Platform::INVALID_HANDLE_VALUE)
        return true;
    auto state = static_cast<PakFindState*>(find);
    if (state->findHandle != Platform::INVALID_HANDLE_VALUE)
        Platform::FindClose(state->findHandle);
    delete state;
    return true;
}

bool PakInterface::MountArchive(const std::string& path)
{
    std::unique_ptr<Platform::MappedFile> view = Platform::MappedFile::Open(path);
    if (!view) {
        ReportRefusedArchive(path, "cannot be opened");
        return false;
    }
    std::vector<PakRecord> records;
    std::string error;
    if (!ReadPakDirectory(view->Data(), view->Size(), &records, &error)) {
        ReportRefusedArchive(path, error);
        return false;
    }
    const int32_t archiveSize = int32_t(view->Size());
    PakArchive& archive = mArchives.emplace_back(PakArchive{std::move(view)});
    // The archive itself opens by the name it was mounted with, however spelled.
    char key[kNameBufferSize];
    if (NormalizePath(path.c_str(), key)) {
        std::string name = path;
        std::replace(name.begin(), name.end(), '/', '\\');
        mEntries[key] = PakEntry{&archive, name, Platform::FILETIME(), 0, archiveSize};
    }
    for (PakRecord& record : records) {
        std::string entryKey = PakFormat::UpperKey(record.name);
        mEntries[entryKey] = PakEntry{&archive, std::move(record.name), record.fileTime, record.start, record.size};
    }
    return true;
}

bool PakInterface::NormalizePath(const char* name, char* out)
{
    size_t length = 0;
    bool afterSeparator = false;
    for (const char* source = SkipCurrentFolder(name); *source; ++source) {
        const char c = *source;
        if (afterSeparator && c == '.' && source[1] == '.') {
            // Back to just after the previous separator, keeping the first character.
            ++source;
            if (length > 1) {
                --length;
                while (length > 1 && out[length - 1] != '\\')
                    --length;
            }
            continue;
        }
        if (IsSeparator(c) && afterSeparator)
            continue;
        if (length == kMaxNormalizedLength) {
            out[length] = '\0';
            return false;
        }
        afterSeparator = IsSeparator(c);
        out[length++] = afterSeparator ? '\\' : PakFormat::ToUpperAscii(c);
    }
    out[length] = '\0';
    return true;
}

bool PakInterface::MatchEntry(PakFindState* state, Platform::WIN32_FIND_DATAA* data)
{
    const size_t star = state->pattern.find('*');
    if (star == std::string::npos)
        return false;
    const std::string prefix = state->pattern.substr(0, star);
    const std::string tail = state->pattern.substr(star + 1);

    auto it = mEntries.begin();
    if (state->listedEntry) {
        it = mEntries.find(state->lastKey);
        if (it == mEntries.end())
            return false;
        ++it;
    }
    for (; it != mEntries.end(); ++it) {
        const std::string& key = it->first;
        if (key.compare(0, prefix.size(), prefix) != 0)
            continue;
        const bool tailMatches = tail.empty() || tail == ".*"
            || (key.size() >= tail.size() && key.compare(key.size() - tail.size(), tail.size(), tail) == 0);
        if (!tailMatches)
            continue;

        const PakEntry& entry = it->second;
        *data = Platform::WIN32_FIND_DATAA();
        const size_t window = std::min(tail.size(), key.size());
        if (key.find('\\', key.size() - window) != std::string::npos)
            data->dwFileAttributes = Platform::FILE_ATTRIBUTE_DIRECTORY;
        const size_t slash = entry.name.rfind('\\');
        const std::string shortName = slash == std::string::npos ? entry.name : entry.name.substr(slash + 1);
        std::snprintf(data->cFileName, sizeof(data->cFileName), "%s", shortName.c_str());
        data->nFileSizeLow = uint32_t(entry.size);
        data->ftCreationTime = entry.fileTime;
        data->ftLastAccessTime = entry.fileTime;
        data->ftLastWriteTime = entry.fileTime;
        state->lastKey = key;
        state->listedEntry = true;
        return true;
    }
    return false;
}

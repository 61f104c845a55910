#include "framework/resources/PakDirectory.h"

#include "framework/resources/PakFormat.h"

namespace {

// Unscrambles bytes in order and never reads past the end.
class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}

    bool Take(size_t count, uint8_t* out)
    {
        if (count > mSize - mPosition)
            return false;
        for (size_t i = 0; i < count; ++i)
            out[i] = mBytes[mPosition + i] ^ PakFormat::kScrambleKey;
        mPosition += count;
        return true;
    }

    bool TakeU32(uint32_t* value)
    {
        uint8_t b[4];
        if (!Take(4, b))
            return false;
        *value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }

    size_t Position() const { return mPosition; }

private:
    const uint8_t* mBytes;
    size_t mSize;
    size_t mPosition = 0;
};

bool Fail(std::vector<PakRecord>* records, std::string* error, std::string reason)
{
    records->clear();
    *error = std::move(reason);
    return false;
}

} // namespace

bool ReadPakDirectory(const uint8_t* bytes, size_t size, std::vector<PakRecord>* records, std::string* error)
{
    records->clear();
    if (size > PakFormat::kMaxArchiveSize)
        return Fail(records, error, "larger than 2 GiB");
    Reader reader(bytes, size);
    uint32_t magic = 0;
    uint32_t version = 0;
    if (!reader.TakeU32(&magic))
        return Fail(records, error, "header truncated");
    if (magic != PakFormat::kMagic)
        return Fail(records, error, "bad magic");
    if (!reader.TakeU32(&version))
        return Fail(records, error, "header truncated");
    if (version != PakFormat::kVersion)
        return Fail(records, error, "unsupported version " + std::to_string(version));

    uint64_t dataLength = 0;
    for (;;) {
        uint8_t flags = 0;
        if (!reader.Take(1, &flags))
            return Fail(records, error, "directory truncated");
        if (flags & PakFormat::kEndFlag)
            break;
        uint8_t nameLength = 0;
        char name[PakFormat::kMaxNameLength];
        uint32_t entrySize = 0;
        uint32_t timeLow = 0;
        uint32_t timeHigh = 0;
        if (!reader.Take(1, &nameLength) || !reader.Take(nameLength, reinterpret_cast<uint8_t*>(name))
            || !reader.TakeU32(&entrySize) || !reader.TakeU32(&timeLow) || !reader.TakeU32(&timeHigh))
            return Fail(records, error, "directory truncated");
        if (dataLength + entrySize > size)
            return Fail(records, error, "entry \"" + std::string(name, nameLength) + "\" runs past the end of the file");
        PakRecord record;
        record.name.assign(name, nameLength);
        record.fileTime = Platform::FILETIME{timeLow, timeHigh};
        // Offsets stay relative to the data until the directory's length is known.
        record.start = int32_t(dataLength);
        record.size = int32_t(entrySize);
        dataLength += entrySize;
        records->push_back(std::move(record));
    }

    const uint64_t directoryLength = reader.Position();
    if (directoryLength + dataLength > size)
        return Fail(records, error, "entry data runs past the end of the file");
    for (PakRecord& record : *records)
        record.start += int32_t(directoryLength);
    return true;
}

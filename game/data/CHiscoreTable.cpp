#include "game/data/CHiscoreTable.h"

#include "framework/core/AppLog.h"
#include "game/data/PlayerFile.h"

#include <cstring>

namespace {

constexpr const char* kFileName = "scores.dat";

// A table as a player's copy can hold it: terminated names and scores from high to low.
bool ReadTable(const char* bytes, CHiscoreTable::Table& table)
{
    CHiscoreTable::Table read{};
    for (int32_t i = 0; i < CHiscoreTable::kEntryCount; ++i) {
        const char* at = bytes + i * HiscoreEntry::kRecordSize;
        if (!PlayerFile::IsCleanName(at, HiscoreEntry::kNameSize))
            return false;
        HiscoreEntry& entry = read[size_t(i)];
        std::memcpy(entry.name, at, HiscoreEntry::kNameSize);
        entry.score = PlayerFile::GetInt32(at + HiscoreEntry::kNameSize);
        entry.extra = PlayerFile::GetInt32(at + HiscoreEntry::kNameSize + 4);
        if (i > 0 && entry.score > read[size_t(i - 1)].score)
            return false;
    }
    table = read;
    return true;
}

} // namespace

void CHiscoreTable::Load()
{
    const std::optional<std::string> bytes = PlayerFile::Read(kFileName, size_t(kFileBytes));
    if (!bytes)
        return;
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    if (bytes->size() != size_t(kFileBytes))
        log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - %s file", kFileName,
                    bytes->size() < size_t(kFileBytes) ? "short" : "oversized");
    for (int32_t slot = 0; slot < kTableCount; ++slot) {
        Table& table = mTables[size_t(kFileOrder[slot])];
        const size_t offset = size_t(slot) * kTableBytes;
        if (offset + kTableBytes > bytes->size()) {
            table = Table{};
        } else if (!ReadTable(bytes->data() + offset, table)) {
            log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - table %d is damaged and left empty", kFileName,
                        kFileOrder[slot]);
            table = Table{};
        }
    }
    mChanged = false;
}

void CHiscoreTable::Save()
{
    if (!mChanged)
        return;
    std::string bytes;
    for (int32_t slot = 0; slot < kTableCount; ++slot) {
        for (const HiscoreEntry& entry : mTables[size_t(kFileOrder[slot])]) {
            bytes.append(entry.name, HiscoreEntry::kNameSize);
            PlayerFile::PutInt32(bytes, entry.score);
            PlayerFile::PutInt32(bytes, entry.extra);
        }
    }
    if (PlayerFile::Write(kFileName, bytes))
        mChanged = false;
}

bool CHiscoreTable::FindRank(int32_t table, int32_t score, int32_t* rank, const char* name) const
{
    const Table& entries = mTables[size_t(table)];
    for (int32_t i = 0; i < kEntryCount; ++i) {
        const HiscoreEntry& entry = entries[size_t(i)];
        if (entry.score < score ||
            (entry.score == score && name && std::strncmp(name, entry.name, HiscoreEntry::kNameSize) != 0)) {
            *rank = i;
            return true;
        }
    }
    return false;
}

void CHiscoreTable::InsertWithExtra(const char* name, int32_t score, int32_t extra)
{
    int32_t rank = 0;
    if (!FindRank(0, score, &rank, name))
        return;
    InsertAt(0, rank, name, score, extra);
    mCurrentEntry = rank;
}

bool CHiscoreTable::Insert(const char* name, int32_t score)
{
    int32_t rank = 0;
    if (!FindRank(1, score, &rank, name))
        return false;
    InsertAt(1, rank, name, score, 0);
    mCurrentEntry = rank + kEntryCount;
    return true;
}

void CHiscoreTable::ResetTables()
{
    mTables[0] = mTables[2];
    mTables[1] = mTables[3];
    mChanged = true;
}

void CHiscoreTable::InsertAt(int32_t table, int32_t rank, const char* name, int32_t score, int32_t extra)
{
    Table& entries = mTables[size_t(table)];
    for (int32_t i = kEntryCount - 1; i > rank; --i)
        entries[size_t(i)] = entries[size_t(i - 1)];
    HiscoreEntry& entry = entries[size_t(rank)];
    entry = HiscoreEntry();
    if (name)
        std::strncpy(entry.name, name, HiscoreEntry::kNameSize - 1);
    entry.score = score;
    entry.extra = extra;
    mChanged = true;
}

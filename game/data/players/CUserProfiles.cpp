#include "game/data/players/CUserProfiles.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "game/data/players/PlayerFile.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr const char* kCurrentProfileValue = "currentprofile";

struct ValueRange {
    int32_t low;
    int32_t high;
};

constexpr int32_t kMaxStage = CUserProfile::kMaxPosition / 10;
constexpr ValueRange kPosition{0, CUserProfile::kMaxPosition};
constexpr ValueRange kPoints{-CUserProfile::kMaxPoints, CUserProfile::kMaxPoints};
constexpr ValueRange kCount{0, CUserProfile::kMaxPoints};
constexpr ValueRange kFlag{0, 1};
// Misses take the energy below 0 before a level fails.
constexpr ValueRange kEnergy{-CUserProfile::kMaxPoints, CUserProfile::kMaxEnergy};

// Saved, result index or stage, position, level points, level gain, score,
// supercombo points, combo points, progress, result value, lives, energy.
constexpr ValueRange kProgressARanges[CUserProfile::kProgressACount] = {
    kFlag,   {0, kMaxStage}, kPosition, kPoints, kPoints, kPoints, kPoints, kPoints, kCount, kPoints,
    {-1, CUserProfile::kMaxLives}, kEnergy};
// Going on (0 over, 1 going on, above 1 going on with the seed of its cycles'
// order), position, score, energy, progress.
constexpr ValueRange kProgressBRanges[CUserProfile::kProgressBCount] = {
    {0, std::numeric_limits<int32_t>::max()}, kPosition, kPoints, kEnergy, kCount};

bool Clamp(int32_t* values, const ValueRange* ranges, int count)
{
    bool clamped = false;
    for (int i = 0; i < count; ++i) {
        const int32_t kept = std::clamp(values[i], ranges[i].low, ranges[i].high);
        clamped |= kept != values[i];
        values[i] = kept;
    }
    return clamped;
}

void DecodeRecord(const char* bytes, CUserProfile& record)
{
    std::memcpy(record.name, bytes, CUserProfile::kNameSize);
    const char* at = bytes + CUserProfile::kNameSize;
    for (int32_t& value : record.progressA) {
        value = PlayerFile::GetInt32(at);
        at += 4;
    }
    record.bestTenth = PlayerFile::GetInt32(at);
    at += 4;
    for (int32_t& value : record.progressB) {
        value = PlayerFile::GetInt32(at);
        at += 4;
    }
}

void EncodeRecord(const CUserProfile& record, std::string& bytes)
{
    bytes.append(record.name, CUserProfile::kNameSize);
    for (int32_t value : record.progressA)
        PlayerFile::PutInt32(bytes, value);
    PlayerFile::PutInt32(bytes, record.bestTenth);
    for (int32_t value : record.progressB)
        PlayerFile::PutInt32(bytes, value);
}

} // namespace

CUserProfiles::CUserProfiles() : mRecords(kInitialCapacity) {}

void CUserProfiles::Init(Lumo::LumoAppBase& app)
{
    mHasRunBefore = false;
    const std::string dataFolder = app.AppDataFolder();
    if (!dataFolder.empty()) {
        const std::string folder = Lumo::RemoveTrailingSlash(dataFolder);
        Lumo::CreateDirectoryPath(folder);
        const std::string marker = folder + "\\run.txt";
        if (Lumo::FileExistsOnDisk(marker)) {
            mHasRunBefore = true;
        } else {
            std::string error;
            Platform::WriteFileAtomically(Platform::NativePath(marker), std::string(), &error,
                                          Platform::AtLink::kReplace);
        }
        Lumo::SetUserDataFolder(folder + "\\");
    }

    ReadFile();

    mCurrent = -1;
    std::string name;
    if (!(app.RegistryReadString(kCurrentProfileValue, &name) && SelectByName(name)) && mCount > 0)
        mCurrent = 0;
}

void CUserProfiles::ReadFile()
{
    mCount = 0;
    mChanged = false;
    constexpr size_t kLimit = size_t(kMaxRecords) * CUserProfile::kRecordSize;
    const std::optional<std::string> bytes = mFile.Read(kLimit);
    if (!bytes)
        return;
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    const size_t whole = std::min(bytes->size(), kLimit) / CUserProfile::kRecordSize;
    for (size_t i = 0; i < whole; ++i) {
        const char* record = bytes->data() + i * CUserProfile::kRecordSize;
        if (record[0] == 0 || !PlayerFile::IsCleanName(record, CUserProfile::kNameSize)) {
            log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - record %d is damaged and skipped", mFile.Name(), int(i));
            mFile.MarkDamaged();
            continue;
        }
        CUserProfile& profile = *NewRecord();
        DecodeRecord(record, profile);
        if (ClampProgress(profile)) {
            log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - record %d (%s) has progress out of range, clamped",
                        mFile.Name(), int(i), profile.name);
            mFile.MarkDamaged();
        }
        ++mCount;
    }
    if (bytes->size() > kLimit) {
        log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - too long, the first %d records kept", mFile.Name(),
                    kMaxRecords);
        mFile.MarkDamaged();
    } else if (bytes->size() % CUserProfile::kRecordSize != 0) {
        log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - a partial record at the end is ignored", mFile.Name());
        mFile.MarkDamaged();
    }
}

bool CUserProfiles::ClampProgress(CUserProfile& record)
{
    constexpr ValueRange kBestTenth{0, kMaxStage};
    bool clamped = Clamp(record.progressA, kProgressARanges, CUserProfile::kProgressACount);
    clamped |= Clamp(record.progressB, kProgressBRanges, CUserProfile::kProgressBCount);
    clamped |= Clamp(&record.bestTenth, &kBestTenth, 1);
    return clamped;
}

bool CUserProfiles::Save(Lumo::LumoAppBase& app)
{
    bool saved = true;
    if (mChanged) {
        std::string bytes;
        for (int32_t i = 0; i < mCount; ++i)
            EncodeRecord(mRecords[size_t(i)], bytes);
        saved = mFile.Write(bytes);
        mChanged = !saved;
    }
    if (HasCurrent())
        app.RegistryWriteString(kCurrentProfileValue, mRecords[size_t(mCurrent)].name);
    return saved;
}

CUserProfile* CUserProfiles::NewRecord()
{
    if (mCount == Capacity())
        mRecords.resize(mRecords.size() * 2);
    CUserProfile& record = mRecords[size_t(mCount)];
    record = CUserProfile();
    return &record;
}

void CUserProfiles::Add(const std::string& name)
{
    CUserProfile* record = NewRecord();
    ++mCount;
    name.copy(record->name, std::min<size_t>(name.size(), CUserProfile::kNameSize - 1));
    mChanged = true;
}

bool CUserProfiles::Contains(const std::string& name) const
{
    for (int32_t i = 0; i < mCount; ++i) {
        if (name == mRecords[size_t(i)].name)
            return true;
    }
    return false;
}

bool CUserProfiles::SelectByName(const std::string& name)
{
    mCurrent = -1;
    for (int32_t i = 0; i < mCount; ++i) {
        if (name == mRecords[size_t(i)].name) {
            mCurrent = i;
            return true;
        }
    }
    return false;
}

void CUserProfiles::Remove(int32_t index)
{
    if (index < 0 || index >= mCount)
        return;
    --mCount;
    mRecords[size_t(index)] = mRecords[size_t(mCount)];
    mChanged = true;
    if (mCurrent == index)
        mCurrent = mCount > 0 ? 0 : -1;
    else if (mCurrent == mCount)
        mCurrent = index;
}

std::string CUserProfiles::CurrentName() const
{
    return HasCurrent() ? std::string(mRecords[size_t(mCurrent)].name) : std::string("UNKNOWN\n");
}

void CUserProfiles::SetCurrentIndex(int32_t index)
{
    if (index >= 0 && index < mCount)
        mCurrent = index;
}

void CUserProfiles::SetRecordA(const int32_t (&values)[CUserProfile::kProgressACount])
{
    if (!HasCurrent())
        return;
    CUserProfile& record = mRecords[size_t(mCurrent)];
    std::copy(std::begin(values), std::end(values), record.progressA);
    record.bestTenth = std::max(record.bestTenth, values[2] / 10);
    mChanged = true;
}

void CUserProfiles::SetRecordB(const int32_t (&values)[CUserProfile::kProgressBCount])
{
    if (!HasCurrent())
        return;
    std::copy(std::begin(values), std::end(values), mRecords[size_t(mCurrent)].progressB);
    mChanged = true;
}

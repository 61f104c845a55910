#include "game/data/CUserProfiles.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "game/data/PlayerFile.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kFileName = "users.dat";
constexpr const char* kCurrentProfileValue = "currentprofile";

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
        } else if (FILE* file = Platform::OpenFile(marker.c_str(), "wb")) {
            std::fclose(file);
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
    const std::optional<std::string> bytes = PlayerFile::Read(kFileName, kLimit);
    if (!bytes)
        return;
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    const size_t whole = std::min(bytes->size(), kLimit) / CUserProfile::kRecordSize;
    for (size_t i = 0; i < whole; ++i) {
        const char* record = bytes->data() + i * CUserProfile::kRecordSize;
        if (record[0] == 0 || !PlayerFile::IsCleanName(record, CUserProfile::kNameSize)) {
            log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - record %d is damaged, %d profiles kept", kFileName,
                        int(i), mCount);
            return;
        }
        DecodeRecord(record, *NewRecord());
        ++mCount;
    }
    if (bytes->size() > kLimit)
        log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - too long, the first %d profiles kept", kFileName, mCount);
    else if (bytes->size() % CUserProfile::kRecordSize != 0)
        log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - a partial record at the end is ignored", kFileName);
}

void CUserProfiles::Save(Lumo::LumoAppBase& app)
{
    if (mChanged) {
        std::string bytes;
        for (int32_t i = 0; i < mCount; ++i)
            EncodeRecord(mRecords[size_t(i)], bytes);
        if (PlayerFile::Write(kFileName, bytes))
            mChanged = false;
    }
    if (HasCurrent())
        app.RegistryWriteString(kCurrentProfileValue, mRecords[size_t(mCurrent)].name);
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

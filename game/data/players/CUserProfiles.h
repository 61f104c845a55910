#pragma once

#include "game/data/players/CUserProfile.h"
#include "game/data/players/PlayerFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Lumo {
class LumoAppBase;
}

// The player profiles: "users.dat" in the user data folder, and the name of
// the current profile in the settings value "currentprofile".
class CUserProfiles {
public:
    static constexpr int32_t kInitialCapacity = 16;
    // A file longer than this many records is not one of ours.
    static constexpr int32_t kMaxRecords = 4096;

    CUserProfiles();

    // The application's data folder (when the system has one) is created,
    // marked with "run.txt" and made the user data folder; then the profiles
    // and the current one are read.
    void Init(Lumo::LumoAppBase& app);
    // Writes "users.dat" when the profiles changed since they were read or
    // written, and the current profile's name. False when the file could not
    // be written.
    bool Save(Lumo::LumoAppBase& app);

    // The zeroed record after the last one, the buffer doubled when full; count stays.
    CUserProfile* NewRecord();
    // At most 15 characters of the name; the current profile stays.
    void Add(const std::string& name);
    bool Contains(const std::string& name) const;
    bool SelectByName(const std::string& name);
    // The last record takes the removed one's place; the current profile stays
    // the same player, or becomes the first one when it was the removed one.
    void Remove(int32_t index);
    // "UNKNOWN\n" without a current profile.
    std::string CurrentName() const;
    void SetRecordA(const int32_t (&values)[CUserProfile::kProgressACount]);
    void SetRecordB(const int32_t (&values)[CUserProfile::kProgressBCount]);

    int32_t Count() const { return mCount; }
    int32_t Capacity() const { return int32_t(mRecords.size()); }
    int32_t CurrentIndex() const { return mCurrent; }
    void SetCurrentIndex(int32_t index);
    const CUserProfile& Record(int32_t index) const { return mRecords[size_t(index)]; }
    bool HasRunBefore() const { return mHasRunBefore; }

private:
    bool HasCurrent() const { return mCurrent >= 0 && mCurrent < mCount; }
    // Every sound record; a damaged one is skipped and the file marked to be
    // kept aside.
    void ReadFile();
    // Brings each progress value into the range the game can take; whether
    // any was out of it.
    static bool ClampProgress(CUserProfile& record);

    bool mHasRunBefore = false;
    std::vector<CUserProfile> mRecords;
    int32_t mCount = 0;
    int32_t mCurrent = -1;
    PlayerFile mFile{"users.dat"};
    // The records differ from what the file holds.
    bool mChanged = false;
};

#pragma once

#include "game/data/players/HiscoreEntry.h"
#include "game/data/players/PlayerFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CImageTable;

namespace Lumo {
class Graphics;
}

// The local hiscores: tables 0 and 1 are played into and shown side by side;
// tables 2 and 3 hold the copies that a reset brings back. "scores.dat" holds
// the four tables in the order 1, 0, 3, 2.
class CHiscoreTable {
public:
    static constexpr int32_t kTableCount = 4;
    static constexpr int32_t kEntryCount = 8;
    static constexpr int32_t kTableBytes = kEntryCount * HiscoreEntry::kRecordSize;
    static constexpr int32_t kFileBytes = kTableCount * kTableBytes;
    // The order of the tables in the file.
    static constexpr int32_t kFileOrder[kTableCount] = {1, 0, 3, 2};

    using Table = std::array<HiscoreEntry, kEntryCount>;

    // A missing file leaves the tables as they are; a damaged one is logged,
    // keeps every sound entry and is kept aside before the next write.
    void Load();
    // Writes the file when the tables changed since they were read or
    // written; false when it could not be written.
    bool Save();

    // The rank the score would take in the table, false when it takes none: a
    // score enters above an equal score of another name.
    bool FindRank(int32_t table, int32_t score, int32_t* rank, const char* name) const;
    // Into table 0; the current entry becomes the rank.
    void InsertWithExtra(const char* name, int32_t score, int32_t extra);
    // Into table 1 with extra 0; the current entry becomes 8 + the rank.
    bool Insert(const char* name, int32_t score);
    // Tables 2 and 3 over tables 0 and 1.
    void ResetTables();

    // Whether the hiscore window shows the current entry as new.
    void SetShowHighlight(bool on) { mShowHighlight = on; }
    bool ShowsHighlight() const { return mShowHighlight; }
    // The current entry's name typing in and its score counting up.
    void ShowHighlight();
    void ReleaseHandles();
    // Tables 0 and 1 side by side; table 0's rank names come from rankNames.
    void Draw(Lumo::Graphics& g, int32_t alpha, const CImageTable& images,
              const std::vector<std::string>& rankNames) const;

    const Table& GetTable(int32_t table) const { return mTables[size_t(table)]; }
    // -1 none, 0..7 an entry of table 0, 8..15 entry n - 8 of table 1.
    int32_t CurrentEntry() const { return mCurrentEntry; }

private:
    void InsertAt(int32_t table, int32_t rank, const char* name, int32_t score, int32_t extra);

    std::array<Table, kTableCount> mTables{};
    int32_t mCurrentEntry = -1;
    PlayerFile mFile{"scores.dat"};
    bool mChanged = false;
    bool mShowHighlight = false;
    int32_t mNameLabel = -2;
    int32_t mScoreLabel = -2;
};

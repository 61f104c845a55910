#include "game/data/players/CHiscoreTable.h"

#include "framework/core/AppLog.h"
#include "framework/graphics/Graphics.h"
#include "game/data/CGameConfig.h"
#include "game/data/effects/CTextLabels.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/players/PlayerFile.h"

#include <algorithm>
#include <cstring>

namespace {

// A table as the file holds it: every entry with a terminated name, in
// order of score. What follows a terminator is left over from a longer name
// that an insert wrote over, and goes. An entry without a terminator is
// dropped and the entries below move up; entries out of order are sorted.
// A file cut short inside the table gives only its first entries.
// Whether the table was whole and in order.
bool ReadTable(const char* bytes, int32_t entries, CHiscoreTable::Table& table)
{
    table = CHiscoreTable::Table{};
    size_t kept = 0;
    for (int32_t i = 0; i < entries; ++i) {
        const char* at = bytes + i * HiscoreEntry::kRecordSize;
        if (std::memchr(at, 0, HiscoreEntry::kNameSize) == nullptr)
            continue;
        HiscoreEntry& entry = table[kept++];
        std::strncpy(entry.name, at, HiscoreEntry::kNameSize);
        entry.score = PlayerFile::GetInt32(at + HiscoreEntry::kNameSize);
        entry.extra = PlayerFile::GetInt32(at + HiscoreEntry::kNameSize + 4);
    }
    const auto byScore = [](const HiscoreEntry& a, const HiscoreEntry& b) { return a.score > b.score; };
    const bool sorted = std::is_sorted(table.begin(), table.begin() + kept, byScore);
    std::stable_sort(table.begin(), table.begin() + kept, byScore);
    return sorted && kept == size_t(CHiscoreTable::kEntryCount);
}

} // namespace

void CHiscoreTable::Load()
{
    const std::optional<std::string> bytes = mFile.Read(size_t(kFileBytes));
    if (!bytes)
        return;
    Lumo::AppLog* log = Lumo::AppLog::GetInstance();
    if (bytes->size() != size_t(kFileBytes)) {
        log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - %s file", mFile.Name(),
                    bytes->size() < size_t(kFileBytes) ? "short" : "oversized");
        mFile.MarkDamaged();
    }
    for (int32_t slot = 0; slot < kTableCount; ++slot) {
        Table& table = mTables[size_t(kFileOrder[slot])];
        const size_t offset = size_t(slot) * kTableBytes;
        const size_t there = bytes->size() > offset ? bytes->size() - offset : 0;
        const int32_t entries = int32_t(std::min<size_t>(there / HiscoreEntry::kRecordSize, kEntryCount));
        if (there == 0) {
            table = Table{};
        } else if (!ReadTable(bytes->data() + offset, entries, table)) {
            log->Printf(Lumo::AppLog::kToFile, "ERROR: %s - table %d is damaged, its sound entries kept",
                        mFile.Name(), kFileOrder[slot]);
            mFile.MarkDamaged();
        }
    }
    mChanged = false;
}

bool CHiscoreTable::Save()
{
    if (!mChanged)
        return true;
    std::string bytes;
    for (int32_t slot = 0; slot < kTableCount; ++slot) {
        for (const HiscoreEntry& entry : mTables[size_t(kFileOrder[slot])]) {
            bytes.append(entry.name, HiscoreEntry::kNameSize);
            PlayerFile::PutInt32(bytes, entry.score);
            PlayerFile::PutInt32(bytes, entry.extra);
        }
    }
    mChanged = !mFile.Write(bytes);
    return !mChanged;
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

void CHiscoreTable::ReleaseHandles()
{
    CTextLabels& labels = CTextLabels::Get();
    for (int32_t* handle : {&mNameLabel, &mScoreLabel}) {
        if (*handle != CTextLabels::kNone)
            labels.Finish(*handle);
        *handle = CTextLabels::kNone;
    }
}

void CHiscoreTable::ShowHighlight()
{
    if (!mShowHighlight || mCurrentEntry < 0)
        return;
    ReleaseHandles();
    const CGameConfig::HiscoreLayout& layout = CGameConfig::hiscoreLayout;
    const bool second = mCurrentEntry >= kEntryCount;
    const int32_t row = second ? mCurrentEntry - kEntryCount : mCurrentEntry;
    const CGameConfig::Point& column = second ? layout.line2P : layout.line1P;
    const HiscoreEntry& entry = mTables[second ? 1 : 0][size_t(row)];
    const int32_t rowY = column.y + row * layout.rowSpacing;
    CTextLabels& labels = CTextLabels::Get();
    mNameLabel = labels.Create(entry.name, column.x + layout.textOffset.x, rowY + layout.textOffset.y);
    mScoreLabel = labels.Create(nullptr, column.x + layout.scoreOffset.x, rowY + layout.scoreOffset.y);
    if (mScoreLabel != CTextLabels::kNone)
        labels.Start(mScoreLabel, entry.score);
    if (mNameLabel != CTextLabels::kNone)
        labels.StartTyping(mNameLabel);
}

void CHiscoreTable::Draw(Lumo::Graphics& g, int32_t alpha, const CImageTable& images,
                         const std::vector<std::string>& rankNames) const
{
    const CGameConfig::HiscoreLayout& layout = CGameConfig::hiscoreLayout;
    const CGameConfig::Point& line1 = layout.line1P;
    const CGameConfig::Point& line2 = layout.line2P;
    if (mShowHighlight && mCurrentEntry >= 0) {
        const bool second = mCurrentEntry >= kEntryCount;
        const int32_t row = second ? mCurrentEntry - kEntryCount : mCurrentEntry;
        const int32_t columnX = second ? line2.x : line1.x;
        Lumo::Color colour = layout.highlightColor;
        colour.mAlpha = std::min(colour.mAlpha, alpha);
        g.SetColor(colour);
        const Lumo::Rect& rect = layout.highlightRect;
        g.FillRect(columnX + layout.digitOffset.x + rect.mX,
                   line1.y + layout.digitOffset.y + row * layout.rowSpacing + rect.mY, rect.mWidth, rect.mHeight);
    }

    g.SetTintImages(true);
    g.SetColor(Lumo::Color(255, 127, 0, alpha));
    g.FillRect(line1.x, line1.y, 2, layout.lineWidth);
    g.SetColor(Lumo::Color(208, 16, 177, alpha));
    g.FillRect(line2.x, line2.y, 2, layout.lineWidth);

    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    for (const auto& [slot, at] : {std::pair{layout.basicImg, layout.basicP}, {layout.scoreImg, layout.scoreP}}) {
        const CImageSlot* picture = images.Slot(slot);
        if (picture && picture->mImage) {
            const Lumo::Rect source = images.SourceRect(slot);
            g.DrawImageRotated(picture->mImage, at.x, at.y, 1.571, &source);
        }
    }

    for (int32_t i = 0; i < kEntryCount; ++i) {
        const int32_t base = line1.y + i * layout.rowSpacing;
        const std::string digit(1, char('1' + i));
        g.SetFont(CGameConfig::FontAt(layout.entryFont));
        for (int32_t table = 0; table < 2; ++table) {
            const int32_t x = table == 0 ? line1.x : line2.x;
            g.DrawText(digit, x + layout.digitOffset.x, base + layout.digitOffset.y);
            if (mShowHighlight && mCurrentEntry == table * kEntryCount + i)
                continue;
            const HiscoreEntry& entry = mTables[size_t(table)][size_t(i)];
            g.DrawText(entry.name, x + layout.textOffset.x, base + layout.textOffset.y);
            g.DrawText(std::to_string(entry.score), x + layout.scoreOffset.x, base + layout.scoreOffset.y);
        }
        const HiscoreEntry& first = mTables[0][size_t(i)];
        // A rank out of the names' range (possible in a file from elsewhere) shows the nearest one.
        if (first.name[0] != 0 && !rankNames.empty()) {
            const int32_t rank = std::clamp(first.extra, 0, std::min(9, int32_t(rankNames.size()) - 1));
            g.SetFont(CGameConfig::FontAt(layout.rankFont));
            g.DrawText(rankNames[size_t(rank)], line1.x + layout.rankOffset.x, base + layout.rankOffset.y);
        }
    }

    if (mShowHighlight) {
        for (int32_t handle : {mNameLabel, mScoreLabel}) {
            if (handle != CTextLabels::kNone)
                CTextLabels::Get().Draw(handle, g, alpha);
        }
    }
    g.SetTintImages(false);
}

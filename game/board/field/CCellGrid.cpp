#include "game/board/field/CCellGrid.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/core/RuntimeRandom.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "platform/process/Clock.h"

#include <algorithm>
#include <cstdio>

namespace {

struct DirectionGeometry {
    int32_t mStepX;
    int32_t mStepY;
    bool mColumns;
};

constexpr DirectionGeometry kDirections[4] = {
    {0, -1, true},
    {-1, 0, false},
    {0, 1, true},
    {1, 0, false},
};

int32_t NormalDirection(int32_t direction) { return ((direction % 4) + 4) % 4; }

} // namespace

CCellGrid::CCellGrid(CGameField& field) : mField(field) {}

void CCellGrid::Resize(int32_t w, int32_t h)
{
    mW = w;
    mH = h;
    mCellCount = w * h;
    mMainCells.assign(size_t(mCellCount), 0);
    mScratchCells.assign(size_t(mCellCount), 0);
    mCells = mMainCells.data();
    mIds.Reset();
    mGroups.resize(size_t(mCellCount));
    for (int32_t id = 0; id < mCellCount; ++id) {
        mGroups[size_t(id)].mId = id;
        mGroups[size_t(id)].mMembers.clear();
    }
    SetQueueDirection(mDirection);
}

const char* CCellGrid::ParameterError(const CGridParameters& p) const
{
    if (p.mBlockTypes < 1 || p.mBlockTypes > mColourCount)
        return "block types outside the colours of the field";
    if (p.mGenerationMode == 2 && p.mBlockTypes < 2)
        return "major colour generation needs two block types";
    if (p.mMinGroups < 0 || p.mMaxGroups < p.mMinGroups)
        return "maximum groups below minimum groups";
    if (p.mMajorColourPercent < 0 || p.mMajorColourPercent > 100)
        return "major colour percentage outside 0 to 100";
    return nullptr;
}

bool CCellGrid::SetParameters(const CGridParameters& parameters)
{
    if (const char* error = ParameterError(parameters)) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR grid parameters refused: %s", error);
        return false;
    }
    mParameters = parameters;
    return true;
}

int32_t CCellGrid::RandomBelow(int32_t bound) const { return bound > 0 ? Lumo::Rand() % bound : 0; }

void CCellGrid::NewGroup(int32_t cell)
{
    const int32_t id = mIds.Allocate();
    GroupRecord& group = mGroups[size_t(id)];
    group.mMembers.clear();
    group.mMembers.push_back(cell);
    mCells[cell] = WithGroup(mCells[cell], id);
}

void CCellGrid::JoinGroup(int32_t cell, int32_t id)
{
    mCells[cell] = WithGroup(mCells[cell], id);
    GroupRecord& group = mGroups[size_t(id)];
    group.mMembers.push_back(cell);
    const int32_t count = group.Count();
    if (count == mMatchCount) {
        if (ColourOf(mCells[cell]) != mField.ReservedColour())
            ++mMatchedGroups;
        mMatchedBlocks += mMatchCount;
    } else if (count > mMatchCount) {
        ++mMatchedBlocks;
    }
}

void CCellGrid::MergeGroups(int32_t target, int32_t source)
{
    GroupRecord& t = mGroups[size_t(target)];
    GroupRecord& s = mGroups[size_t(source)];
    const int32_t tc = t.Count();
    const int32_t sc = s.Count();
    const int32_t m = mMatchCount;
    if (tc + sc >= m) {
        const bool reserved = tc > 0 && ColourOf(mCells[t.mMembers.front()]) == mField.ReservedColour();
        if (tc >= m && sc >= m) {
            if (!reserved)
                --mMatchedGroups;
        } else if (tc >= m) {
            mMatchedBlocks += sc;
        } else if (sc < m) {
            mMatchedBlocks += tc + sc;
            if (!reserved)
                ++mMatchedGroups;
        } else {
            mMatchedBlocks += tc;
        }
    }
    for (int32_t cell : s.mMembers) {
        mCells[cell] = WithGroup(mCells[cell], target);
        t.mMembers.push_back(cell);
    }
    s.mMembers.clear();
    mIds.Release(source);
}

void CCellGrid::Rebuild()
{
    mMatchedGroups = 0;
    mMatchedBlocks = 0;
    mIds.Reset();
    // Ids above the new counter keep no members from an earlier labelling.
    for (GroupRecord& group : mGroups)
        group.mMembers.clear();
    const auto sameOccupied = [this](int32_t cell, int32_t other) {
        return IsOccupied(mCells[other]) && ColourOf(mCells[other]) == ColourOf(mCells[cell]);
    };
    for (int32_t row = 0; row < mH; ++row) {
        for (int32_t column = 0; column < mW; ++column) {
            const int32_t cell = row * mW + column;
            if (!IsOccupied(mCells[cell]))
                continue;
            const bool left = column > 0 && sameOccupied(cell, cell - 1);
            const bool up = row > 0 && sameOccupied(cell, cell - mW);
            if (left && up) {
                const int32_t upId = GroupOf(mCells[cell - mW]);
                const int32_t leftId = GroupOf(mCells[cell - 1]);
                JoinGroup(cell, upId);
                if (leftId != upId)
                    MergeGroups(upId, leftId);
            } else if (left) {
                JoinGroup(cell, GroupOf(mCells[cell - 1]));
            } else if (up) {
                JoinGroup(cell, GroupOf(mCells[cell - mW]));
            } else {
                NewGroup(cell);
            }
        }
    }
}

void CCellGrid::FillRandom()
{
    std::fill(mCells, mCells + mCellCount, 0u);
    // The seed comes from the clock, which a replay cannot repeat: the demo
    // carries it.
    int32_t seed = int32_t(Platform::timeGetTime());
    Lumo::LumoAppBase::DemoSyncInteger(seed);
    Lumo::SRand(uint32_t(seed));
    const int32_t n = mCellCount;
    const int32_t b = mParameters.mBlockTypes;
    for (int32_t i = 0; i < 16 && n > 0; ++i) {
        const int32_t cell = RandomBelow(n);
        mCells[cell] = (uint32_t(RandomBelow(b)) << kColourShift) | kOccupied;
    }
    Rebuild();
    mGroupsCreated = 0;
    ScanEmptyCells();
    if (mParameters.mGenerationMode == 2 && b >= 2) {
        const int32_t k = mParameters.mMajorColourPercent * n / 100;
        std::vector<int32_t> order(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            order[size_t(i)] = i;
        for (int32_t i = 0; i < 2 * n; ++i) {
            const int32_t a = RandomBelow(n);
            const int32_t c = RandomBelow(n);
            std::swap(order[size_t(a)], order[size_t(c)]);
        }
        for (int32_t i = 0; i < n; ++i) {
            uint32_t& word = mCells[order[size_t(i)]];
            if (i < k)
                word = WithColour(word, b - 1);
            else if (ColourOf(word) == b - 1)
                word = WithColour(word, RandomBelow(b - 1));
        }
        Rebuild();
    }
    CountColours();
}

void CCellGrid::ClearGroupCells(int32_t id)
{
    if (id < 0 || size_t(id) >= mGroups.size())
        return;
    for (int32_t cell : mGroups[size_t(id)].mMembers)
        EmptyCell(cell);
}

void CCellGrid::EmptyCell(int32_t cell)
{
    if (cell < 0 || cell >= mCellCount || !IsOccupied(mCells[cell]))
        return;
    mCells[cell] &= ~kOccupied;
    const int32_t colour = ColourOf(mCells[cell]);
    if (colour < kMaxColours)
        --mHistogram[size_t(colour)];
}

void CCellGrid::CountColours()
{
    mHistogram.fill(0);
    for (int32_t cell = 0; cell < mCellCount; ++cell) {
        const int32_t colour = ColourOf(mCells[cell]);
        if (colour < kMaxColours)
            ++mHistogram[size_t(colour)];
    }
}

void CCellGrid::ScanEmptyCells()
{
    mCellsFilled = 0;
    mGroupsCreated = 0;
    const auto visit = [this](int32_t column, int32_t row) {
        if (!IsOccupied(mCells[row * mW + column]))
            EvaluateEmptyCell(column, row);
    };
    switch (mDirection) {
    case 0:
        for (int32_t row = 0; row < mH; ++row)
            for (int32_t column = 0; column < mW; ++column)
                visit(column, row);
        break;
    case 1:
        for (int32_t column = 0; column < mW; ++column)
            for (int32_t row = 0; row < mH; ++row)
                visit(column, row);
        break;
    case 2:
        for (int32_t row = mH - 1; row >= 0; --row)
            for (int32_t column = 0; column < mW; ++column)
                visit(column, row);
        break;
    default:
        for (int32_t column = mW - 1; column >= 0; --column)
            for (int32_t row = 0; row < mH; ++row)
                visit(column, row);
        break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "groups=%d blocks=%d   colors=", mMatchedGroups, mMatchedBlocks);
    std::string status = text;
    for (int32_t colour = 0; colour < mParameters.mBlockTypes && colour < kMaxColours; ++colour) {
        std::snprintf(text, sizeof text, "   %d", mHistogram[size_t(colour)]);
        status += text;
    }
    mField.SetStatusLine(status);
}

void CCellGrid::EvaluateEmptyCell(int32_t column, int32_t row)
{
    const int32_t m0 = mMatchedGroups;
    const int32_t m = mMatchCount;
    const int32_t cell = row * mW + column;

    mNeighbourCount = 0;
    const auto record = [this](int32_t c, int32_t r) {
        if (c < 0 || r < 0 || c >= mW || r >= mH)
            return;
        const uint32_t word = mCells[r * mW + c];
        if (!IsOccupied(word))
            return;
        const int32_t id = GroupOf(word);
        mNeighbours[size_t(mNeighbourCount++)] = {ColourOf(word), mGroups[size_t(id)].Count(), id};
    };
    record(column - 1, row);
    record(column + 1, row);
    record(column, row - 1);
    record(column, row + 1);

    struct Candidate {
        int32_t mColour;
        int32_t mTotal;
        int32_t mMatched;
    };
    std::array<Candidate, 4> candidates{};
    int32_t candidateCount = 0;
    for (int32_t i = 0; i < mNeighbourCount; ++i) {
        const Neighbour& n = mNeighbours[size_t(i)];
        int32_t k = 0;
        while (k < candidateCount && candidates[size_t(k)].mColour != n.mColour)
            ++k;
        if (k == candidateCount)
            candidates[size_t(candidateCount++)] = {n.mColour, 0, 0};
        candidates[size_t(k)].mTotal += n.mCount;
        if (n.mCount >= m)
            ++candidates[size_t(k)].mMatched;
    }

    const int32_t b = mParameters.mBlockTypes;
    int32_t colour = 0;
    if (mNeighbourCount == 0) {
        colour = RandomBelow(b);
    } else if (m0 < mParameters.mMinGroups && mGroupsCreated < mParameters.mGenerationsPerTurn) {
        int32_t largest = -1;
        bool taken = false;
        for (int32_t k = 0; k < candidateCount && !taken; ++k) {
            const Candidate& c = candidates[size_t(k)];
            if (c.mMatched > 0 || c.mTotal >= mParameters.mMaxGroupSize)
                continue;
            if (c.mTotal >= m - 1) {
                colour = c.mColour;
                taken = true;
            } else {
                largest = std::max(largest, c.mTotal);
            }
        }
        if (!taken) {
            if (largest < 0) {
                colour = PickRareColour();
            } else {
                std::array<int32_t, 4> best{};
                int32_t bestCount = 0;
                for (int32_t k = 0; k < candidateCount; ++k) {
                    const Candidate& c = candidates[size_t(k)];
                    if (c.mMatched == 0 && c.mTotal < mParameters.mMaxGroupSize && c.mTotal == largest)
                        best[size_t(bestCount++)] = c.mColour;
                }
                colour = best[size_t(RandomBelow(bestCount))];
            }
        }
    } else if (m0 > mParameters.mMaxGroups) {
        colour = PickRareColour();
    } else {
        colour = RandomBelow(b);
    }

    mCells[cell] = WithColour(mCells[cell], colour) | kOccupied;
    if (colour < kMaxColours)
        ++mHistogram[size_t(colour)];

    int32_t joined = -1;
    for (int32_t i = 0; i < mNeighbourCount; ++i) {
        Neighbour& n = mNeighbours[size_t(i)];
        if (n.mColour != colour)
            continue;
        if (joined < 0) {
            joined = n.mId;
            JoinGroup(cell, joined);
        } else if (n.mId != joined) {
            const int32_t merged = n.mId;
            MergeGroups(joined, merged);
            for (int32_t j = 0; j < mNeighbourCount; ++j)
                if (mNeighbours[size_t(j)].mId == merged)
                    mNeighbours[size_t(j)].mId = joined;
        }
    }
    if (joined < 0)
        NewGroup(cell);

    ++mCellsFilled;
    mGroupsCreated += mMatchedGroups - m0;
}

int32_t CCellGrid::PickRareColour() const
{
    int32_t bound = 99;
    int32_t colour = 0;
    for (int32_t c = 0; c < mParameters.mBlockTypes && c < kMaxColours; ++c) {
        bool besides = false;
        for (int32_t i = 0; i < mNeighbourCount; ++i)
            besides = besides || mNeighbours[size_t(i)].mColour == c;
        if (!besides && mHistogram[size_t(c)] < bound) {
            bound = mHistogram[size_t(c)];
            colour = c;
        }
    }
    return colour;
}

int32_t CCellGrid::LandingCell() const
{
    const int32_t column = mField.ExcludedColumn();
    const int32_t row = mField.ExcludedRow();
    if (column < 0 || row < 0 || column >= mW || row >= mH)
        return -1;
    return row * mW + column;
}

void CCellGrid::MarkPlacedBlocks(const std::vector<CFieldBlock*>& blocks)
{
    if (mParameters.mGenerationMode == 1) {
        for (const CFieldBlock* block : blocks) {
            uint32_t& word = mCells[block->mRow * mW + block->mColumn];
            word = WithColour(word, mField.ReservedColour()) | kOccupied;
        }
        Rebuild();
        CountColours();
    } else if (mParameters.mGenerationMode == 0) {
        const int32_t landing = LandingCell();
        const bool landingEmpty = landing >= 0 && !IsOccupied(mCells[landing]);
        Rebuild();
        ScanEmptyCells();
        if (landingEmpty && mGroups[size_t(GroupOf(mCells[landing]))].Count() >= mMatchCount &&
            mMatchedGroups > 1 && mParameters.mPreventAutoCombo == 1)
            PreventAutoCombo(landing % mW, landing / mW);
    }
    for (CFieldBlock* block : blocks)
        block->mColour = ColourOf(mCells[block->mRow * mW + block->mColumn]);
}

void CCellGrid::PreventAutoCombo(int32_t column, int32_t row)
{
    const int32_t cell = row * mW + column;
    const int32_t old = ColourOf(mCells[cell]);
    if (old < kMaxColours)
        --mHistogram[size_t(old)];
    std::array<bool, kMaxColours> taken{};
    const auto note = [&](int32_t c, int32_t r) {
        if (c < 0 || r < 0 || c >= mW || r >= mH)
            return;
        const uint32_t word = mCells[r * mW + c];
        if (IsOccupied(word) && ColourOf(word) < kMaxColours)
            taken[size_t(ColourOf(word))] = true;
    };
    note(column - 1, row);
    note(column + 1, row);
    note(column, row - 1);
    note(column, row + 1);
    int32_t colour = 0;
    for (int32_t c = 0; c < mParameters.mBlockTypes && c < kMaxColours; ++c) {
        if (!taken[size_t(c)]) {
            colour = c;
            break;
        }
    }
    mCells[cell] = WithColour(mCells[cell], colour);
    Rebuild();
    ++mHistogram[size_t(colour)];
}

void CCellGrid::MarkMatchedGroups(CAnimTrack* track)
{
    for (int32_t id = 0; id < mIds.Counter(); ++id) {
        const GroupRecord& group = mGroups[size_t(id)];
        if (group.Count() < mMatchCount)
            continue;
        for (int32_t cell : group.mMembers) {
            if (CFieldBlock* block = mField.Record(cell).mBlock) {
                block->mHighlightTrack = track;
                block->mHighlightMode = 1;
            }
        }
    }
}

void CCellGrid::CollectMatchedGroups()
{
    mMatchedGroupList.clear();
    for (const GroupRecord& group : mGroups)
        if (group.Count() >= mMatchCount)
            mMatchedGroupList.push_back(group);
}

void CCellGrid::CollectArea(int32_t column, int32_t row, int32_t width, int32_t height)
{
    mAreaGroups.clear();
    mAreaCells.clear();
    const int32_t left = std::max(column, 0);
    const int32_t top = std::max(row, 0);
    const int32_t right = std::min(column + width, mW);
    const int32_t bottom = std::min(row + height, mH);
    const auto take = [this](int32_t cell) {
        mCells[cell] |= kVisited;
        mAreaCells.emplace_back(cell % mW, cell / mW);
    };
    for (int32_t r = top; r < bottom; ++r) {
        for (int32_t c = left; c < right; ++c) {
            const int32_t cell = r * mW + c;
            const uint32_t word = mCells[cell];
            if (word & kVisited)
                continue;
            // An empty cell's id bits are stale: it stands for itself alone.
            const GroupRecord* group = IsOccupied(word) ? &mGroups[size_t(GroupOf(word))] : nullptr;
            if (group && group->Count() >= mMatchCount) {
                mAreaGroups.push_back(*group);
                for (int32_t member : group->mMembers)
                    take(member);
            } else {
                take(cell);
            }
        }
    }
    for (const auto& [c, r] : mAreaCells)
        mCells[r * mW + c] &= ~kVisited;
}

void CCellGrid::SetQueueDirection(int32_t direction)
{
    mDirection = NormalDirection(direction);
    const DirectionGeometry& g = kDirections[mDirection];
    mStepX = g.mStepX;
    mStepY = g.mStepY;
    mLineCount = g.mColumns ? mW : mH;
    mLineLength = g.mColumns ? mH : mW;
    mField.SetStencilDirection(mDirection);
}

void CCellGrid::UpdateQueue()
{
    const int32_t side = mParameters.mSwitchSide;
    int32_t direction = mDirection;
    if (mParameters.mAntiCombo == 1 || side > 4 || side < 0) {
        direction = ScoredDirection();
    } else if (side == 1) {
        direction = Lumo::Rand() % 4;
    } else if (side == 2) {
        direction = (direction + 1) % 4;
    } else if (side == 3) {
        direction = (direction + 3) % 4;
    } else if (side == 4) {
        int32_t drawn;
        do {
            drawn = Lumo::Rand() % 4;
        } while (drawn == direction);
        direction = drawn;
    }
    SetQueueDirection(direction);
}

int32_t CCellGrid::ScoredDirection()
{
    const int32_t landing = LandingCell();
    const int32_t favour = mParameters.mAntiCombo == 1 || mParameters.mSwitchSide == 6 ? 1 : 0;
    const int32_t minGroups = mParameters.mMinGroups;
    const int32_t maxGroups = mParameters.mMaxGroups;
    const int32_t mid = (maxGroups - minGroups) / 2 + minGroups;
    mCells = mScratchCells.data();
    int32_t best = 0;
    int32_t chosen = 0;
    for (int32_t direction = 0; direction < 4; ++direction) {
        SetQueueDirection(direction);
        std::copy(mMainCells.begin(), mMainCells.end(), mScratchCells.begin());
        SimulateShift();
        Rebuild();
        const int32_t g = mMatchedGroups;
        int32_t base = 128;
        if (landing >= 0 && IsOccupied(mCells[landing]))
            base = mGroups[size_t(GroupOf(mCells[landing]))].Count() < mMatchCount ? 128 * favour : 0;
        int32_t score;
        if (g > minGroups && g <= maxGroups)
            score = base + (mid - g) + 100;
        else if (g > maxGroups)
            score = base + (maxGroups - g);
        else
            score = base + (minGroups - g);
        if (score > best) {
            best = score;
            chosen = direction;
        }
    }
    mCells = mMainCells.data();
    return chosen;
}

void CCellGrid::LineStart(int32_t line, int32_t* column, int32_t* row) const
{
    switch (mDirection) {
    case 0:
        *column = line;
        *row = mH - 1;
        break;
    case 1:
        *column = mW - 1;
        *row = line;
        break;
    case 2:
        *column = line;
        *row = 0;
        break;
    default:
        *column = 0;
        *row = line;
        break;
    }
}

void CCellGrid::CellOfLine(int32_t line, int32_t position, int32_t* column, int32_t* row) const
{
    LineStart(line, column, row);
    *column += mStepX * position;
    *row += mStepY * position;
}

bool CCellGrid::CheckLine(int32_t line, bool column)
{
    mEmptiedBlocks.clear();
    bool empty = false;
    const int32_t length = column ? mH : mW;
    for (int32_t p = 0; p < length; ++p) {
        const int32_t cell = column ? p * mW + line : line * mW + p;
        if (IsOccupied(mCells[cell]))
            continue;
        empty = true;
        if (CFieldBlock* block = mField.Record(cell).mBlock)
            mEmptiedBlocks.push_back(block);
    }
    return empty;
}

bool CCellGrid::CheckRow(int32_t row) { return row >= 0 && row < mH && CheckLine(row, false); }

bool CCellGrid::CheckColumn(int32_t column) { return column >= 0 && column < mW && CheckLine(column, true); }

void CCellGrid::CompactLine(int32_t line, std::vector<MoveRecord>* moves)
{
    const auto occupiedAt = [&](int32_t p) {
        int32_t c, r;
        CellOfLine(line, p, &c, &r);
        return IsOccupied(mCells[r * mW + c]);
    };
    for (;;) {
        int32_t a = 0;
        while (a < mLineLength && !occupiedAt(a))
            ++a;
        if (a == mLineLength)
            return;
        int32_t b = a + 1;
        while (b < mLineLength && occupiedAt(b))
            ++b;
        if (b == mLineLength)
            return;
        int32_t gap = 0;
        while (b + gap < mLineLength && !occupiedAt(b + gap))
            ++gap;
        int32_t c0, r0, c1, r1;
        CellOfLine(line, a, &c0, &r0);
        CellOfLine(line, b - 1, &c1, &r1);
        const MoveRecord run{std::min(c0, c1), std::min(r0, r1), std::max(c0, c1) + 1, std::max(r0, r1) + 1,
                             mStepX * gap, mStepY * gap};
        if (moves)
            moves->push_back(run);
        MoveRun(run);
    }
}

void CCellGrid::ShiftQueue(int32_t line, std::vector<MoveRecord>* moves, std::vector<CFieldBlock*>* newBlocks)
{
    CompactLine(line, moves);
    int32_t count = 0;
    for (int32_t p = 0; p < mLineLength; ++p) {
        int32_t c, r;
        CellOfLine(line, p, &c, &r);
        if (IsOccupied(mCells[r * mW + c]))
            break;
        CFieldBlock* block = mField.AcquireBlock();
        block->mColumn = c;
        block->mRow = r;
        newBlocks->push_back(block);
        ++count;
    }
    if (count > 0) {
        int32_t c, r;
        LineStart(line, &c, &r);
        moves->push_back({-1, count, c - mStepX, r - mStepY, mStepX, mStepY});
    }
}

void CCellGrid::SimulateShift()
{
    for (int32_t line = 0; line < mLineCount; ++line)
        CompactLine(line, nullptr);
}

void CCellGrid::MoveRun(const MoveRecord& run)
{
    const int32_t ex = run.mE;
    const int32_t ey = run.mF;
    // Cells nearest the destination move first so that none is overwritten before it moved.
    const int32_t rowFirst = ey > 0 ? run.mD - 1 : run.mB;
    const int32_t rowStep = ey > 0 ? -1 : 1;
    const int32_t columnFirst = ex > 0 ? run.mC - 1 : run.mA;
    const int32_t columnStep = ex > 0 ? -1 : 1;
    const int32_t rows = run.mD - run.mB;
    const int32_t columns = run.mC - run.mA;
    for (int32_t i = 0; i < rows; ++i) {
        const int32_t r = rowFirst + rowStep * i;
        for (int32_t j = 0; j < columns; ++j) {
            const int32_t c = columnFirst + columnStep * j;
            const int32_t from = r * mW + c;
            const int32_t to = (r + ey) * mW + (c + ex);
            mCells[to] = mCells[from];
            mCells[from] &= ~kOccupied;
        }
    }
}

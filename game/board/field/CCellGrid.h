#pragma once

#include "game/board/field/CGridParameters.h"
#include "game/board/field/GroupRecord.h"
#include "game/board/field/MoveRecord.h"
#include "game/data/animation/CIndexAllocator.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CAnimTrack;
class CGameField;
struct CFieldBlock;

// The rule engine of the field: one packed word per cell (bit 0 occupied,
// bit 1 a visited mark, bits 2-16 the group id, bits 17-31 the colour), the
// groups of 4-connected blocks of one colour with the counts of the groups
// and blocks that reach the match size, the colouring of new blocks, and the
// shift direction with the line moves of a field step.
class CCellGrid {
public:
    static constexpr uint32_t kOccupied = 1;
    static constexpr uint32_t kVisited = 2;
    static constexpr int32_t kColourShift = 17;
    static constexpr int32_t kGroupShift = 2;
    static constexpr uint32_t kGroupMask = 0x7FFF;
    // The histogram and the colour tables hold this many colours.
    static constexpr int32_t kMaxColours = 16;
    static constexpr int32_t kMaxCells = 32768;

    static bool IsOccupied(uint32_t word) { return (word & kOccupied) != 0; }
    static int32_t ColourOf(uint32_t word) { return int32_t(word >> kColourShift); }
    static int32_t GroupOf(uint32_t word) { return int32_t((word >> kGroupShift) & kGroupMask); }
    static uint32_t WithColour(uint32_t word, int32_t colour)
    {
        return (word & ((1u << kColourShift) - 1)) | (uint32_t(colour) << kColourShift);
    }
    static uint32_t WithGroup(uint32_t word, int32_t id)
    {
        return (word & ~(kGroupMask << kGroupShift)) | (uint32_t(id) << kGroupShift);
    }

    explicit CCellGrid(CGameField& field);

    // Sizes both cell arrays to w x h empty cells and forgets every group.
    void Resize(int32_t w, int32_t h);
    // Takes the level's rules and the field's reserved colour. Rules the grid
    // cannot work with (block types outside 1 ... colour count, fewer than 2
    // for generation mode 2, maximum groups below minimum groups, negative
    // counts) are logged and refused, keeping the rules before.
    bool SetParameters(const CGridParameters& parameters);
    // The reason parameters would be refused, or null when they are usable.
    const char* ParameterError(const CGridParameters& parameters) const;

    // Labels every occupied cell with its group in one row-major pass.
    void Rebuild();
    // Empties the group's cells (colours and ids stay) and takes them off the histogram.
    void ClearGroupCells(int32_t id);
    // Empties one cell (colour and id stay) and takes it off the histogram.
    void EmptyCell(int32_t cell);
    // Moves every member of source into target and releases source's id.
    void MergeGroups(int32_t target, int32_t source);
    // A random field for a level without fixed contents.
    void FillRandom();
    void CountColours();
    // Colours every empty cell, in the order of the shift direction.
    void ScanEmptyCells();
    void EvaluateEmptyCell(int32_t column, int32_t row);
    // The rarest colour in play that no neighbour of the evaluated cell has.
    int32_t PickRareColour() const;
    // Colours the cells of the blocks that entered in a field step.
    void MarkPlacedBlocks(const std::vector<CFieldBlock*>& blocks);
    // Recolours the cell so that it joins no neighbour.
    void PreventAutoCombo(int32_t column, int32_t row);
    void MarkMatchedGroups(CAnimTrack* track);
    void CollectMatchedGroups();
    // The matched groups touching the rectangle (whole) and its other cells
    // (one by one); the rectangle is clipped to the field.
    void CollectArea(int32_t column, int32_t row, int32_t width, int32_t height);

    // Shift direction: 0 up, 1 left, 2 down, 3 right.
    void SetQueueDirection(int32_t direction);
    // Chooses the direction of the coming field step by the switch side.
    void UpdateQueue();
    // Whether the line has an empty cell; the blocks still recorded in its
    // empty cells go to the emptied-block list, which starts empty each call.
    bool CheckRow(int32_t row);
    bool CheckColumn(int32_t column);
    // Packs the line's blocks at its end, recording each moved run, then
    // takes a block for every empty cell left at its start.
    void ShiftQueue(int32_t line, std::vector<MoveRecord>* moves, std::vector<CFieldBlock*>* newBlocks);
    void SimulateShift();
    void MoveRun(const MoveRecord& run);

    int32_t Width() const { return mW; }
    int32_t Height() const { return mH; }
    int32_t CellCount() const { return mCellCount; }
    uint32_t Cell(int32_t index) const { return mCells[size_t(index)]; }
    uint32_t& Cell(int32_t index) { return mCells[size_t(index)]; }
    uint32_t Cell(int32_t column, int32_t row) const { return mCells[size_t(row * mW + column)]; }
    const GroupRecord& Group(int32_t id) const { return mGroups[size_t(id)]; }
    int32_t GroupIdCounter() const { return mIds.Counter(); }

    int32_t Direction() const { return mDirection; }
    int32_t StepX() const { return mStepX; }
    int32_t StepY() const { return mStepY; }
    int32_t LineCount() const { return mLineCount; }
    int32_t LineLength() const { return mLineLength; }
    // The first cell of line i, on the entry side.
    void LineStart(int32_t line, int32_t* column, int32_t* row) const;

    void SetColourCount(int32_t count) { mColourCount = count; }
    int32_t ColourCount() const { return mColourCount; }
    void SetMatchCount(int32_t m) { mMatchCount = m; }
    int32_t MatchCount() const { return mMatchCount; }
    const CGridParameters& Parameters() const { return mParameters; }

    int32_t MatchedGroups() const { return mMatchedGroups; }
    int32_t MatchedBlocks() const { return mMatchedBlocks; }
    int32_t ColourHistogram(int32_t colour) const { return mHistogram[size_t(colour)]; }
    // The percentage of the cells holding the colour, truncated.
    int32_t ColourShare(int32_t colour) const
    {
        return mCellCount > 0 ? ColourHistogram(colour) * 100 / mCellCount : 0;
    }
    int32_t CellsFilled() const { return mCellsFilled; }
    int32_t GroupsCreated() const { return mGroupsCreated; }

    // The results of the last query that filled them.
    const std::vector<GroupRecord>& MatchedGroupList() const { return mMatchedGroupList; }
    const std::vector<GroupRecord>& AreaGroups() const { return mAreaGroups; }
    const std::vector<std::pair<int32_t, int32_t>>& AreaCells() const { return mAreaCells; }
    const std::vector<CFieldBlock*>& EmptiedBlocks() const { return mEmptiedBlocks; }

private:
    struct Neighbour {
        int32_t mColour;
        int32_t mCount;
        int32_t mId;
    };

    void NewGroup(int32_t cell);
    void JoinGroup(int32_t cell, int32_t id);
    int32_t RandomBelow(int32_t bound) const;
    int32_t LandingCell() const;
    bool CheckLine(int32_t line, bool column);
    // Packs one line; records moved runs when moves is set.
    void CompactLine(int32_t line, std::vector<MoveRecord>* moves);
    void CellOfLine(int32_t line, int32_t position, int32_t* column, int32_t* row) const;
    int32_t ScoredDirection();

    CGameField& mField;
    uint32_t* mCells = nullptr;
    std::vector<uint32_t> mMainCells;
    std::vector<uint32_t> mScratchCells;
    std::array<int32_t, kMaxColours> mHistogram{};
    std::vector<GroupRecord> mGroups;
    CIndexAllocator mIds;

    int32_t mDirection = 0;
    int32_t mW = 0;
    int32_t mH = 0;
    int32_t mCellCount = 0;
    int32_t mStepX = 0;
    int32_t mStepY = -1;
    int32_t mLineCount = 0;
    int32_t mLineLength = 0;

    int32_t mColourCount = 0;
    std::array<Neighbour, 4> mNeighbours{};
    int32_t mNeighbourCount = 0;
    CGridParameters mParameters;
    int32_t mMatchedGroups = 0;
    int32_t mMatchedBlocks = 0;
    int32_t mMatchCount = 3;
    int32_t mCellsFilled = 0;
    int32_t mGroupsCreated = 0;
    int32_t mReservedColour = 0;

    std::vector<GroupRecord> mMatchedGroupList;
    std::vector<GroupRecord> mAreaGroups;
    std::vector<std::pair<int32_t, int32_t>> mAreaCells;
    std::vector<CFieldBlock*> mEmptiedBlocks;
};

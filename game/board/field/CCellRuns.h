#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CCellGrid;
struct CFieldBlock;

// The undo record of a puzzle level's field steps: per step, which lines took
// new blocks, the position and colour of every block that had left each of
// those lines, and the colours the entering blocks were given. The steps of
// one move of the player's are taken back together.
class CCellRuns {
public:
    struct Run {
        int32_t mFirstPair = 0;
        int32_t mHeaders = 0;
        int32_t mDirection = 0;
        // The first step of a move.
        bool mMoveStart = true;
    };
    // A line header {new blocks n, line} followed by n entries
    // {row << 16 | column, new colour << 16 | old colour}.
    using Pair = std::pair<uint32_t, uint32_t>;

    CCellRuns() = default;
    // The published instance is withdrawn with it.
    ~CCellRuns();
    CCellRuns(const CCellRuns&) = delete;
    CCellRuns& operator=(const CCellRuns&) = delete;

    // The one instance, set by Init.
    static CCellRuns* Current();

    // Publishes this instance, stops recording and empties the runs.
    void Init();
    void Clear();

    void SetRecording(bool on) { mRecording = on; }
    bool Recording() const { return mRecording; }

    // A jump of the player's has landed: the steps from here to the next
    // jump, its landing's and those of the bounces after it, are one move.
    void BeginMove() { mMoveBegun = true; }
    // Steps before the first jump of a level are a move of their own.
    void PushRun(int32_t direction);
    // Opens the header of a line that took new blocks in the last run.
    bool OpenLine(int32_t line);
    // One block that left the open line: its cell and its colour.
    bool AddEntry(const CFieldBlock& block);
    // Writes the colours the entering cells of every line of the last run
    // were given. False when there is no run.
    bool RefreshFromField(const CCellGrid& grid);
    // The index of the last move's first run; 0 when there is no run.
    size_t LastMove() const;
    // Drops the last move's runs; false when there is none.
    bool PopMove();

    const std::vector<Pair>& Pairs() const { return mPairs; }
    const std::vector<Run>& Runs() const { return mRuns; }

private:
    bool mRecording = false;
    std::vector<Pair> mPairs;
    std::vector<Run> mRuns;
    int32_t mHeader = -1;
    bool mMoveBegun = false;
};

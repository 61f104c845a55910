#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class CLevelTable;
class TiXmlElement;

// The order in which levels are played: each graph lists levels of the levels
// file, with onload entries that change the border, background and ball from
// a position on. A graph with difficulty ranges is played endlessly: past its
// listed levels it cycles through its medium and hard entries, reshuffled each
// cycle; each entry takes the onload in force where it is listed along, so a
// level keeps its border, background and ball wherever the cycle puts it.
// Each cycle's order follows from the cycle seed and the cycle's number, so
// a game continued in a cycle plays the order it was playing.
class CLevelGraphs {
public:
    struct Entry {
        int32_t mLevel = 0;
        int32_t mModeDesc = 0;
        int32_t mBonus = 0;
        // Its position in the graph's list, where its onload is looked up.
        int32_t mListed = 0;
    };
    struct Onload {
        int32_t mGameBorder = 0;
        int32_t mBackground = 0;
        int32_t mBall = 0;
        int32_t mFrom = 0;
    };
    // Positions within the graph's entries, to exclusive.
    struct Range {
        int32_t mFrom = 0;
        int32_t mTo = 0;
        int32_t Length() const { return mTo - mFrom; }
    };
    struct Graph {
        int32_t mFirstOnload = 0;
        int32_t mOnloadCount = 0;
        int32_t mEntryCount = 0;
        int32_t mFirstEntry = 0;
        bool mHasRanges = false;
        Range mEasy;
        Range mMedium;
        Range mHard;
        // The entries past the list cycles through: medium.from on, medium and hard lengths long.
        Range mCycle;
        float mDamageScale = 1.0f;
    };

    // False when the file gives no graph with a level.
    bool LoadFromXml(const TiXmlElement* root, const CLevelTable& levels);

    // Makes the working copy of a graph with ranges, each range shuffled.
    void PrepareGraph(int32_t graph);
    // Drawn seeds start here: below it, a saved game's word tells only whether it goes on.
    static constexpr uint32_t kFirstSeed = 2;
    // The seed the cycles' orders are made from; below kFirstSeed until play
    // first reaches a cycle and draws one.
    uint32_t CycleSeed() const { return mCycleSeed; }
    void SetCycleSeed(uint32_t seed);
    // The level index at position; onload is the onload entry in force there (-1 none).
    // A graph without levels gives -1; past the list of a graph without a cycle,
    // the last listed level.
    int32_t PickNext(int32_t graph, int32_t position, int32_t* onload);
    int32_t GetEntryLevel(int32_t graph, int32_t position) const;
    int32_t GetEntryBonus(int32_t graph, int32_t position) const;
    int32_t GetEntryModeDesc(int32_t graph, int32_t position) const;

    int32_t GraphCount() const { return int32_t(mGraphs.size()); }
    bool HasGraph(int32_t graph) const { return graph >= 0 && graph < GraphCount(); }
    // An id the file gives no graph for reads as a graph without levels.
    const Graph& GraphAt(int32_t graph) const;
    const Onload& OnloadAt(int32_t index) const { return mOnloads[size_t(index)]; }
    int32_t WorkingLength() const { return mWorkingLength; }

private:
    // The entry a position plays.
    const Entry& EntryAt(const Graph& graph, int32_t position) const;
    // The entry of a position without reshuffling; null for a graph without levels.
    const Entry* Listed(int32_t graph, int32_t position) const;
    // 255 swaps of two entries, each drawn by draw(length).
    void Shuffle(int32_t first, int32_t length, const std::function<int32_t(int32_t)>& draw);
    // The working copy's cycle in the order of the given cycle.
    void MakeCycle(const Graph& graph, int32_t cycle);
    // Ranges that fit the graph's entries, medium and hard side by side.
    void ClampRanges(Graph& graph, int32_t index);

    std::vector<Graph> mGraphs;
    std::vector<Entry> mEntries;
    std::vector<Onload> mOnloads;
    size_t mLoadedEntries = 0;
    int32_t mWorkingLength = 0;
    int32_t mPrepared = -1;
    uint32_t mCycleSeed = 0;
    // The cycle whose order the working copy holds; -1 none.
    int32_t mCopyCycle = -1;
};

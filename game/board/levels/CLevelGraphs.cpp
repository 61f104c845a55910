#include "game/board/levels/CLevelGraphs.h"

#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "game/board/levels/CLevelTable.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <algorithm>
#include <random>
#include <tinyxml.h>
#include <utility>

namespace {

constexpr int32_t kShuffleSwaps = 255;
// Bounds of the file's numbers: an entry's bonus points, the damage scale, the
// indices of tables the entries name.
constexpr int32_t kMaxBonus = 1'000'000;
constexpr float kMaxDamageScale = 1000.0f;
constexpr int32_t kMaxIndex = 10'000;
constexpr int32_t kSeedRange = 0x7FFF'FFF0;

int32_t Index(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0, 0, kMaxIndex);
}

CLevelGraphs::Range ReadRange(const TiXmlElement* element, const char* name)
{
    int from = 0;
    int to = 0;
    ParsePoint(XmlTextAttribute(element, name), &from, &to);
    return {from, to};
}

void Log(const char* format, int32_t value)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, format, value);
}

} // namespace

bool CLevelGraphs::LoadFromXml(const TiXmlElement* root, const CLevelTable& levels)
{
    mGraphs.clear();
    mEntries.clear();
    mOnloads.clear();
    mWorkingLength = 0;
    mPrepared = -1;
    if (!root) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR LevelGraphs - no root");
        return false;
    }

    size_t graphs = 0;
    size_t entries = 0;
    size_t largestRanged = 0;
    for (const TiXmlElement* graph = root->FirstChildElement("graph"); graph;
         graph = graph->NextSiblingElement("graph")) {
        ++graphs;
        const size_t count = size_t(XmlCountChildElements(graph, "level"));
        entries += count;
        if (graph->Attribute("easy"))
            largestRanged = std::max(largestRanged, count);
    }
    mGraphs.reserve(graphs);
    // Room behind the loaded entries for the working copy of a ranged graph.
    mEntries.reserve(entries + largestRanged);

    bool anyLevel = false;
    for (const TiXmlElement* element = root->FirstChildElement("graph"); element;
         element = element->NextSiblingElement("graph")) {
        Graph graph;
        graph.mDamageScale = XmlRangedAttribute(element, "damagescale", 1.0f, 0.0f, kMaxDamageScale);
        graph.mHasRanges = element->Attribute("easy") != nullptr;
        if (graph.mHasRanges) {
            graph.mEasy = ReadRange(element, "easy");
            graph.mMedium = ReadRange(element, "medium");
            graph.mHard = ReadRange(element, "hard");
        }
        graph.mFirstEntry = int32_t(mEntries.size());
        graph.mFirstOnload = int32_t(mOnloads.size());
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
            const std::string tag = child->ValueStr();
            if (tag == "level") {
                int32_t level = 0;
                if (!levels.FindLevel(XmlTextAttribute(child, "name"), &level))
                    continue;
                mEntries.push_back({level, Index(child, "mode_desc_id"),
                                    XmlRangedAttribute(child, "bonus", 0, 0, kMaxBonus), graph.mEntryCount});
                ++graph.mEntryCount;
            } else if (tag == "onload") {
                mOnloads.push_back({Index(child, "gameborder_idx"),
                                    Index(child, "background_idx"), Index(child, "ball_idx"),
                                    graph.mEntryCount});
                ++graph.mOnloadCount;
            }
        }
        if (graph.mEntryCount == 0)
            Log("ERROR LevelGraphs - graph %d has no levels", int32_t(mGraphs.size()));
        anyLevel = anyLevel || graph.mEntryCount > 0;
        ClampRanges(graph, int32_t(mGraphs.size()));
        mGraphs.push_back(graph);
    }
    mLoadedEntries = mEntries.size();
    if (!anyLevel)
        Log("ERROR LevelGraphs - %d graphs, none with a level", int32_t(mGraphs.size()));
    return anyLevel;
}

const CLevelGraphs::Graph& CLevelGraphs::GraphAt(int32_t graph) const
{
    static const Graph kNoGraph;
    return HasGraph(graph) ? mGraphs[size_t(graph)] : kNoGraph;
}

void CLevelGraphs::ClampRanges(Graph& graph, int32_t index)
{
    if (!graph.mHasRanges)
        return;
    const int32_t count = graph.mEntryCount;
    bool changed = false;
    for (Range* range : {&graph.mEasy, &graph.mMedium, &graph.mHard}) {
        const Range clamped{std::clamp(range->mFrom, 0, count), std::clamp(range->mTo, 0, count)};
        const Range fitted{clamped.mFrom, std::max(clamped.mFrom, clamped.mTo)};
        changed = changed || fitted.mFrom != range->mFrom || fitted.mTo != range->mTo;
        *range = fitted;
    }
    if (graph.mMedium.Length() != 0 && graph.mHard.Length() != 0 && graph.mMedium.mTo != graph.mHard.mFrom)
        changed = true;
    const int32_t from = graph.mMedium.mFrom;
    graph.mCycle = {from, std::min(count, from + graph.mMedium.Length() + graph.mHard.Length())};
    if (changed)
        Log("ERROR LevelGraphs - graph %d: ranges outside its levels or apart", index);
}

void CLevelGraphs::Shuffle(int32_t first, int32_t length, const std::function<int32_t(int32_t)>& draw)
{
    if (length <= 0)
        return;
    for (int32_t swap = 0; swap < kShuffleSwaps; ++swap) {
        const int32_t a = first + draw(length);
        const int32_t b = first + draw(length);
        std::swap(mEntries[size_t(a)], mEntries[size_t(b)]);
    }
}

void CLevelGraphs::SetCycleSeed(uint32_t seed)
{
    mCycleSeed = seed;
    mCopyCycle = -1;
}

void CLevelGraphs::MakeCycle(const Graph& graph, int32_t cycle)
{
    // The generator is fully defined by the standard: a saved seed gives the
    // same order on every build.
    std::seed_seq sequence{mCycleSeed, uint32_t(cycle)};
    std::mt19937 generator(sequence);
    const int32_t first = int32_t(mLoadedEntries) + graph.mCycle.mFrom;
    const int32_t length = graph.mCycle.Length();
    std::copy_n(mEntries.begin() + graph.mFirstEntry + graph.mCycle.mFrom, length, mEntries.begin() + first);
    Shuffle(first, length, [&generator](int32_t range) { return int32_t(generator() % uint32_t(range)); });
    mCopyCycle = cycle;
}

void CLevelGraphs::PrepareGraph(int32_t graph)
{
    if (!HasGraph(graph) || !mGraphs[size_t(graph)].mHasRanges)
        return;
    const Graph& record = mGraphs[size_t(graph)];
    mEntries.resize(mLoadedEntries);
    for (int32_t i = 0; i < record.mEntryCount; ++i)
        mEntries.push_back(mEntries[size_t(record.mFirstEntry + i)]);
    mWorkingLength = record.mEntryCount;
    mPrepared = graph;
    mCopyCycle = -1;
    const int32_t copy = int32_t(mLoadedEntries);
    for (const Range& range : {record.mEasy, record.mMedium, record.mHard})
        Shuffle(copy + range.mFrom, range.Length(), Lumo::RandomNumber);
}

const CLevelGraphs::Entry& CLevelGraphs::EntryAt(const Graph& graph, int32_t position) const
{
    if (position >= 0 && position < graph.mEntryCount)
        return mEntries[size_t(graph.mFirstEntry + position)];
    const int32_t length = graph.mCycle.Length();
    if (length <= 0)
        return mEntries[size_t(graph.mFirstEntry + graph.mEntryCount - 1)];
    const int32_t k = (position - graph.mEntryCount) % length;
    const bool prepared = mPrepared == int32_t(&graph - mGraphs.data());
    const int32_t first = prepared ? int32_t(mLoadedEntries) : graph.mFirstEntry;
    return mEntries[size_t(first + graph.mCycle.mFrom + k)];
}

int32_t CLevelGraphs::PickNext(int32_t graph, int32_t position, int32_t* onload)
{
    *onload = -1;
    if (GraphAt(graph).mEntryCount == 0)
        return -1;
    const Graph& record = mGraphs[size_t(graph)];
    if (position >= record.mEntryCount && record.mCycle.Length() > 0) {
        if (mPrepared != graph)
            PrepareGraph(graph);
        // Drawn once play reaches a cycle: a game that never does draws no
        // more random numbers than it always did.
        if (mCycleSeed < kFirstSeed)
            SetCycleSeed(kFirstSeed + uint32_t(Lumo::RandomNumber(kSeedRange)));
        const int32_t cycle = (position - record.mEntryCount) / record.mCycle.Length();
        if (cycle != mCopyCycle)
            MakeCycle(record, cycle);
    }
    const Entry& entry = EntryAt(record, position);
    for (int32_t i = 0; i < record.mOnloadCount; ++i) {
        if (mOnloads[size_t(record.mFirstOnload + i)].mFrom > entry.mListed)
            break;
        *onload = record.mFirstOnload + i;
    }
    return entry.mLevel;
}

const CLevelGraphs::Entry* CLevelGraphs::Listed(int32_t graph, int32_t position) const
{
    if (GraphAt(graph).mEntryCount == 0)
        return nullptr;
    return &EntryAt(mGraphs[size_t(graph)], position);
}

int32_t CLevelGraphs::GetEntryLevel(int32_t graph, int32_t position) const
{
    const Entry* entry = Listed(graph, position);
    return entry ? entry->mLevel : -1;
}

int32_t CLevelGraphs::GetEntryBonus(int32_t graph, int32_t position) const
{
    const Entry* entry = Listed(graph, position);
    return entry ? entry->mBonus : 0;
}

int32_t CLevelGraphs::GetEntryModeDesc(int32_t graph, int32_t position) const
{
    const Entry* entry = Listed(graph, position);
    return entry ? entry->mModeDesc : 0;
}

#include "game/board/field/CCellRuns.h"

#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"

namespace {

CCellRuns* gCellRuns = nullptr;

} // namespace

CCellRuns::~CCellRuns()
{
    if (gCellRuns == this)
        gCellRuns = nullptr;
}

CCellRuns* CCellRuns::Current() { return gCellRuns; }

void CCellRuns::Init()
{
    gCellRuns = this;
    mRecording = false;
    Clear();
    mPairs.reserve(512);
    mRuns.reserve(16);
}

void CCellRuns::Clear()
{
    mPairs.clear();
    mRuns.clear();
    mHeader = -1;
    mMoveBegun = false;
}

void CCellRuns::PushRun(int32_t direction)
{
    mRuns.push_back({int32_t(mPairs.size()), 0, direction, mMoveBegun || mRuns.empty()});
    mHeader = -1;
    mMoveBegun = false;
}

bool CCellRuns::OpenLine(int32_t line)
{
    if (mRuns.empty())
        return false;
    ++mRuns.back().mHeaders;
    mHeader = int32_t(mPairs.size());
    mPairs.emplace_back(0u, uint32_t(line));
    return true;
}

bool CCellRuns::AddEntry(const CFieldBlock& block)
{
    if (mHeader < 0)
        return false;
    mPairs.emplace_back(uint32_t(block.mRow) << 16 | (uint32_t(block.mColumn) & 0xFFFF),
                        uint32_t(block.mColour) & 0xFFFF);
    ++mPairs[size_t(mHeader)].first;
    return true;
}

bool CCellRuns::RefreshFromField(const CCellGrid& grid)
{
    if (mRuns.empty())
        return false;
    const Run& run = mRuns.back();
    const int32_t w = grid.Width();
    const int32_t h = grid.Height();
    size_t at = size_t(run.mFirstPair);
    for (int32_t header = 0; header < run.mHeaders && at < mPairs.size(); ++header) {
        const int32_t n = int32_t(mPairs[at].first);
        const int32_t line = int32_t(mPairs[at].second);
        for (int32_t k = 0; k < n && at + 1 + size_t(k) < mPairs.size(); ++k) {
            int32_t column = line;
            int32_t row = line;
            switch (run.mDirection) {
            case 0:
                row = h - 1 - k;
                break;
            case 1:
                column = w - 1 - k;
                break;
            case 2:
                row = k;
                break;
            default:
                column = k;
                break;
            }
            if (column < 0 || row < 0 || column >= w || row >= h)
                break;
            uint32_t& colours = mPairs[at + 1 + size_t(k)].second;
            colours = uint32_t(CCellGrid::ColourOf(grid.Cell(column, row))) << 16 | (colours & 0xFFFF);
        }
        at += 1 + size_t(n);
    }
    return true;
}

size_t CCellRuns::LastMove() const
{
    size_t first = mRuns.empty() ? 0 : mRuns.size() - 1;
    while (first > 0 && !mRuns[first].mMoveStart)
        --first;
    return first;
}

bool CCellRuns::PopMove()
{
    if (mRuns.empty())
        return false;
    const size_t first = LastMove();
    mPairs.resize(size_t(mRuns[first].mFirstPair));
    mRuns.resize(first);
    mHeader = -1;
    return true;
}

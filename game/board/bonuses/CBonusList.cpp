#include "game/board/bonuses/CBonusList.h"

#include "framework/core/RandomNumber.h"

#include <algorithm>

void CBonusList::Setup(int32_t entries, int32_t unitWeight)
{
    mIds.clear();
    mIds.reserve(size_t(std::max(entries, 0)));
    mUnitWeight = unitWeight;
    mWeightSum = 0;
    mHistoryCount = 0;
}

void CBonusList::Add(int32_t id)
{
    mIds.push_back(id);
    mWeightSum += mUnitWeight;
}

void CBonusList::Remove(int32_t id)
{
    const auto at = std::find(mIds.begin(), mIds.end(), id);
    if (at == mIds.end())
        return;
    *at = mIds.back();
    mIds.pop_back();
    mWeightSum -= mUnitWeight;
}

bool CBonusList::Contains(int32_t id) const
{
    return std::find(mIds.begin(), mIds.end(), id) != mIds.end();
}

int32_t CBonusList::Pick(int32_t* index)
{
    const int32_t count = Count();
    if (count == 0)
        return -1;
    int32_t i = Lumo::RandomNumber(count);
    if (count > 4) {
        if (std::find(mHistory.begin(), mHistory.begin() + mHistoryCount, i) != mHistory.begin() + mHistoryCount)
            i = count - 1;
        if (mHistoryCount == 3) {
            mHistory[0] = mHistory[1];
            mHistory[1] = mHistory[2];
            mHistory[2] = i;
        } else {
            mHistory[size_t(mHistoryCount++)] = i;
        }
    }
    *index = i;
    return mIds[size_t(i)];
}

#include "game/data/animation/CIndexAllocator.h"

#include "framework/core/AppLog.h"

#include <algorithm>

int32_t CIndexAllocator::Allocate()
{
    if (mFree.empty())
        return mCounter++;
    const int32_t id = mFree.back();
    mFree.pop_back();
    return id;
}

void CIndexAllocator::Release(int32_t id)
{
    if (id < 0 || id >= mCounter || std::find(mFree.begin(), mFree.end(), id) != mFree.end()) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: index %d released twice or never taken",
                                            id);
        return;
    }
    mFree.push_back(id);
}

void CIndexAllocator::Reset()
{
    mCounter = 0;
    mFree.clear();
}

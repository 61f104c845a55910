#pragma once

#include <cstdint>
#include <vector>

// Small integer ids with reuse: the most recently released id comes back first.
class CIndexAllocator {
public:
    int32_t Allocate();
    // Ids never handed out, or released already, are ignored: a second
    // release would hand one id to two owners.
    void Release(int32_t id);
    // Forgets every id: the next one handed out is 0 again.
    void Reset();
    // Ids below it have been handed out at least once.
    int32_t Counter() const { return mCounter; }

private:
    int32_t mCounter = 0;
    std::vector<int32_t> mFree;
};

#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// A pool of heap objects that never shrinks: objects 0 .. used-1 are in use,
// the rest are kept for reuse. Each object knows its position (mPoolIndex);
// releasing swaps it with the last one in use, so both are constant time.
template <typename T>
class CStore {
public:
    // The free object at position used as it was left, or a new one.
    T* Acquire()
    {
        if (mUsed == mObjects.size()) {
            mObjects.push_back(std::make_unique<T>());
            mObjects.back()->mPoolIndex = int32_t(mUsed);
        }
        return mObjects[mUsed++].get();
    }

    // False, changing nothing, for an object that is not in use here (one
    // released already, or another pool's).
    bool Release(T* object)
    {
        const size_t index = size_t(object->mPoolIndex);
        if (index >= mUsed || mObjects[index].get() != object)
            return false;
        const size_t last = mUsed - 1;
        std::swap(mObjects[index], mObjects[last]);
        mObjects[index]->mPoolIndex = int32_t(index);
        mObjects[last]->mPoolIndex = int32_t(last);
        --mUsed;
        return true;
    }

    size_t Used() const { return mUsed; }
    size_t Size() const { return mObjects.size(); }
    T* At(size_t index) const { return index < mObjects.size() ? mObjects[index].get() : nullptr; }

private:
    std::vector<std::unique_ptr<T>> mObjects;
    size_t mUsed = 0;
};

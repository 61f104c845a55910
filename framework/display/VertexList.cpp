#include "framework/display/VertexList.h"

#include <algorithm>

namespace Lumo {

void VertexList::Add(const Platform::D3DTLVERTEX& vertex)
{
    if (mCount == mCapacity)
        Reserve(2 * mCapacity);
    mStorage[mCount++] = vertex;
}

void VertexList::Reserve(int capacity)
{
    if (mCapacity >= capacity)
        return;
    auto grown = std::make_unique<Platform::D3DTLVERTEX[]>(size_t(capacity));
    std::copy_n(mStorage, mCount, grown.get());
    mHeap = std::move(grown);
    mStorage = mHeap.get();
    mCapacity = capacity;
}

} // namespace Lumo

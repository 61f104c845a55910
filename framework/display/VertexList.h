#pragma once

#include "platform/display/Direct3DTypes.h"

#include <memory>

namespace Lumo {

// A growing list of device vertices that keeps up to 100 in the object and
// moves to the heap, doubling, beyond that.
class VertexList {
public:
    static constexpr int kInlineCapacity = 100;

    VertexList() = default;
    VertexList(const VertexList&) = delete;
    VertexList& operator=(const VertexList&) = delete;

    void Add(const Platform::D3DTLVERTEX& vertex);
    void Reserve(int capacity);
    void Clear() { mCount = 0; }
    int Count() const { return mCount; }
    int Capacity() const { return mCapacity; }
    bool OnHeap() const { return mStorage != mInline; }
    Platform::D3DTLVERTEX* Data() { return mStorage; }
    const Platform::D3DTLVERTEX* Data() const { return mStorage; }
    Platform::D3DTLVERTEX& operator[](int index) { return mStorage[index]; }
    const Platform::D3DTLVERTEX& operator[](int index) const { return mStorage[index]; }

private:
    Platform::D3DTLVERTEX mInline[kInlineCapacity];
    std::unique_ptr<Platform::D3DTLVERTEX[]> mHeap;
    Platform::D3DTLVERTEX* mStorage = mInline;
    int mCount = 0;
    int mCapacity = kInlineCapacity;
};

} // namespace Lumo

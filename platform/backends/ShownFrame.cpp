#include "platform/backends/ShownFrame.h"

#include <algorithm>
#include <cstring>

namespace Platform {

void FrameRows::Reset(int32_t height)
{
    mChanged.assign(size_t(std::max(height, 0)), 1);
    mFirst = 0;
    mEnd = Height();
}

void FrameRows::Mark(int32_t top, int32_t bottom)
{
    top = std::max(top, 0);
    bottom = std::min(bottom, Height());
    if (top >= bottom)
        return;
    std::memset(mChanged.data() + top, 1, size_t(bottom - top));
    if (!Any()) {
        mFirst = top;
        mEnd = bottom;
        return;
    }
    mFirst = std::min(mFirst, top);
    mEnd = std::max(mEnd, bottom);
}

void FrameRows::Clear()
{
    if (Any())
        std::memset(mChanged.data() + mFirst, 0, size_t(mEnd - mFirst));
    mFirst = mEnd = 0;
}

void FrameRows::CopyFrom(const FrameRows& other, int32_t top, int32_t count)
{
    mChanged.resize(size_t(count));
    std::memcpy(mChanged.data(), other.mChanged.data() + top, size_t(count));
    mFirst = std::clamp(other.mFirst - top, 0, count);
    mEnd = std::clamp(other.mEnd - top, mFirst, count);
}

} // namespace Platform

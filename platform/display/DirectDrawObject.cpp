#include "platform/display/DirectDrawObject.h"

namespace Platform {

namespace {
std::atomic<int32_t> gLiveObjects{0};
}

DirectDrawObject::DirectDrawObject()
{
    ++gLiveObjects;
}

DirectDrawObject::~DirectDrawObject()
{
    --gLiveObjects;
}

uint32_t DirectDrawObject::AddRef()
{
    return ++mReferences;
}

uint32_t DirectDrawObject::Release()
{
    uint32_t left = --mReferences;
    if (left == 0)
        delete this;
    return left;
}

int32_t DirectDrawObject::LiveObjects()
{
    return gLiveObjects.load();
}

} // namespace Platform

#include "framework/graphics/images/SharedImageRef.h"

#include "framework/graphics/images/Image.h"
#include "framework/graphics/images/SharedImage.h"
#include "framework/graphics/images/SharedImageTable.h"

namespace Lumo {

SharedImageRef::SharedImageRef(const SharedImageRef& other)
    : mSharedImage(other.mSharedImage), mUnsharedImage(other.mUnsharedImage)
{
    Refer(mSharedImage);
}

SharedImageRef& SharedImageRef::operator=(const SharedImageRef& other)
{
    if (this != &other) {
        // Counted first, so that a record both handles refer to is never
        // seen at 0 on the way.
        SharedImage* shared = other.mSharedImage;
        Refer(shared);
        Release();
        mSharedImage = shared;
    }
    return *this;
}

SharedImageRef& SharedImageRef::operator=(SharedImage* shared)
{
    Refer(shared);
    Release();
    mSharedImage = shared;
    return *this;
}

SharedImageRef::~SharedImageRef() { Release(); }

void SharedImageRef::SetUnsharedImage(Image* image, bool owns)
{
    Release();
    if (owns)
        mUnsharedImage.reset(image);
    else
        mUnsharedImage = std::shared_ptr<Image>(image, [](Image*) {});
}

void SharedImageRef::Release()
{
    mUnsharedImage.reset();
    if (mSharedImage && mSharedImage->mRefCount.fetch_sub(1) == 1 && mSharedImage->mTable)
        mSharedImage->mTable->RequestSweep();
    mSharedImage = nullptr;
}

Image* SharedImageRef::GetImage() const
{
    if (mUnsharedImage)
        return mUnsharedImage.get();
    return mSharedImage ? mSharedImage->mImage : nullptr;
}

void SharedImageRef::Refer(SharedImage* shared)
{
    if (shared)
        shared->mRefCount.fetch_add(1);
}

} // namespace Lumo

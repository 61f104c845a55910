#include "framework/graphics/images/AppImageServices.h"

#include "framework/core/AppLog.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/images/AppImageHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/images/MemoryImage.h"

#include <memory>

namespace Lumo {

namespace {

MemoryImage* ToDisplayImage(AppImageHost& host, ImageLib::Image* decoded, const std::string& name, bool commit)
{
    if (decoded == nullptr)
        return nullptr;
    std::unique_ptr<ImageLib::Image> owned(decoded);
    MemoryImage* image = host.CreateDisplayImage();
    image->mName = name;
    image->SetBits(owned->GetBits(), owned->Width(), owned->Height(), commit);
    image->mName = name;
    return image;
}

} // namespace

AppImageServices::AppImageServices(AppImageHost& host) : mHost(host) {}

AppImageServices::~AppImageServices() = default;

MemoryImage* AppImageServices::CreateImageFromFile(const std::string& name, const std::string& alphaName,
                                                   bool commitBits)
{
    return ToDisplayImage(mHost, ImageLib::GetImageWithAlphaFile(name, alphaName), name, commitBits);
}

MemoryImage* AppImageServices::CreateImageFromFileAlt(const std::string& name, bool commitBits)
{
    return ToDisplayImage(mHost, ImageLib::GetImage(name, true), name, commitBits);
}

SharedImageRef AppImageServices::FindOrLoadSharedImage(const std::string& name, const std::string& variant,
                                                       bool* isNew)
{
    SharedImageRef ref;
    SharedImage* record = nullptr;
    bool inserted = false;
    {
        std::lock_guard<CriticalSectionHolder> lock(mHost.GetDisplayLock());
        record = mSharedImages.FindOrInsert(MakeUpperCase(name), MakeUpperCase(variant), &inserted);
        ref = record;
        if (inserted) {
            std::lock_guard<std::mutex> loading(mLoadingMutex);
            mLoading.insert(record);
        }
    }
    if (isNew != nullptr)
        *isNew = inserted;

    if (!inserted) {
        std::unique_lock<std::mutex> loading(mLoadingMutex);
        mLoadingDone.wait(loading, [&] { return mLoading.count(record) == 0; });
        return ref;
    }
    // Decoding happens outside the lock; the image is published under it.
    MemoryImage* image =
        !name.empty() && name[0] == '!' ? mHost.CreateDisplayImage() : CreateImageFromFileAlt(name, false);
    {
        std::lock_guard<CriticalSectionHolder> lock(mHost.GetDisplayLock());
        record->mImage = image;
    }
    {
        std::lock_guard<std::mutex> loading(mLoadingMutex);
        mLoading.erase(record);
    }
    mLoadingDone.notify_all();
    return ref;
}

void AppImageServices::SubloadImage(MemoryImage* image, const std::string& fileName)
{
    uint32_t* pixels = image->GetPixelBits();
    if (pixels == nullptr) {
        AppLog::GetInstance()->Printf(AppLog::kToFile, "[ERROR] SubloadImagePNG - can't get bits");
        return;
    }
    ImageLib::SubloadImagePNG(fileName, pixels, image->mWidth, image->mHeight);
    image->colorTable.reset();
    image->colorIndices.reset();
    image->MarkBitsChanged();
    image->CheckAlpha();
}

MemoryImage* AppImageServices::DuplicateImage(MemoryImage* image)
{
    MemoryImage* copy = mHost.CreateDisplayImage();
    copy->SetSize(image->mWidth, image->mHeight);
    Graphics graphics(copy);
    graphics.DrawImage(image, 0, 0);
    copy->AssignFrom(*image);
    return copy;
}

void AppImageServices::AddImageToSet(MemoryImage* image)
{
    std::lock_guard<CriticalSectionHolder> lock(mHost.GetDisplayLock());
    mImageSet.insert(image);
}

void AppImageServices::RemoveImageFromSet(MemoryImage* image)
{
    std::lock_guard<CriticalSectionHolder> lock(mHost.GetDisplayLock());
    mImageSet.erase(image);
    DropImageTextures(image);
}

void AppImageServices::DropImageTextures(MemoryImage* image) { mHost.RemoveImageTextures(image); }

bool AppImageServices::IsInImageSet(MemoryImage* image)
{
    std::lock_guard<CriticalSectionHolder> lock(mHost.GetDisplayLock());
    return mImageSet.count(image) != 0;
}

std::vector<MemoryImage*> AppImageServices::ImagesInSet()
{
    std::lock_guard<CriticalSectionHolder> lock(mHost.GetDisplayLock());
    return std::vector<MemoryImage*>(mImageSet.begin(), mImageSet.end());
}

void AppImageServices::ShowFatalErrorA(const std::string& text) { mHost.ShowFatalErrorA(text); }

ImageHost* AppImageServices::GetImageHost() { return mHost.GetImageHost(); }

} // namespace Lumo

#include "framework/app/LumoAppBase.h"

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/SoftwareRasterizer.h"
#include "framework/graphics/fonts/SysFont.h"

namespace Lumo {

MemoryImage* LumoAppBase::CreateImageFromFile(const std::string& name, const std::string& alphaName, bool commitBits)
{
    return mImageServices->CreateImageFromFile(name, alphaName, commitBits);
}

MemoryImage* LumoAppBase::CreateImageFromFileAlt(const std::string& name, bool commitBits)
{
    return mImageServices->CreateImageFromFileAlt(name, commitBits);
}

void LumoAppBase::SubloadImage(MemoryImage* image, const std::string& fileName)
{
    mImageServices->SubloadImage(image, fileName);
}

MemoryImage* LumoAppBase::DuplicateImage(MemoryImage* image)
{
    return mImageServices->DuplicateImage(image);
}

SharedImageRef LumoAppBase::FindOrLoadSharedImage(const std::string& name, const std::string& variant, bool* isNew)
{
    return mImageServices->FindOrLoadSharedImage(name, variant, isNew);
}

bool LumoAppBase::Is3DAccelerated()
{
    return mDDInterface && mDDInterface->mIs3D;
}

bool LumoAppBase::Is3DTestPassed()
{
    return mDDInterface && mDDInterface->mD3DTester && mDDInterface->mD3DTester->GetFailureReason().empty();
}

bool LumoAppBase::Is3DTestClean()
{
    return Is3DTestPassed() && mDDInterface->mD3DTester->GetWarning().empty();
}

void LumoAppBase::AddImageToSet(MemoryImage* image)
{
    mImageServices->AddImageToSet(image);
}

void LumoAppBase::RemoveImageFromSet(MemoryImage* image)
{
    mImageServices->RemoveImageFromSet(image);
}

void LumoAppBase::DropImageTextures(MemoryImage* image)
{
    mImageServices->DropImageTextures(image);
}

NativeDisplay* LumoAppBase::GetNativeDisplay()
{
    if (mDDInterface && mDDInterface->mInitialized)
        return mDDInterface;
    return &mDefaultNativeDisplay;
}

bool LumoAppBase::CopyTexturesToBits(MemoryImage* image)
{
    return mDDInterface && mDDInterface->mD3DInterface->CopyTexturesToBits(image, image->bits.get());
}

TriangleRasterizer* LumoAppBase::GetTriangleRasterizer()
{
    // Stateless apart from a per-thread vertex pool, so one serves every image.
    static SoftwareRasterizer rasterizer;
    return &rasterizer;
}

MemoryImage* LumoAppBase::CreateDisplayImage()
{
    if (mDDInterface)
        return new DDImage(mDDInterface);
    return new MemoryImage(this);
}

CriticalSectionHolder& LumoAppBase::GetDisplayLock()
{
    return mDDInterface ? mDDInterface->mDisplayLock : mLockWithoutDisplay;
}

void LumoAppBase::RemoveImageTextures(MemoryImage* image)
{
    if (mDDInterface)
        mDDInterface->RemoveImageTextures(image);
}

ImageHost* LumoAppBase::GetImageHost()
{
    return this;
}

Platform::HMODULE LumoAppBase::GetDirectDrawModule()
{
    return mDirectDrawModule;
}

void LumoAppBase::NewD3DTestResult()
{
    mD3DTestRanAfresh = true;
    OnHardwareTestRan();
}

bool LumoAppBase::IsMinimized()
{
    return mMinimized;
}

void LumoAppBase::StoreD3DRuntimeError(const std::string& text)
{
    RegistryWriteString("Test3D\\RuntimeError", text);
}

std::string LumoAppBase::GetRegistryKey()
{
    std::string key = mRegKey;
    if (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    return key;
}

bool LumoAppBase::IsPlayingBackDemo()
{
    return mPlaying;
}

void LumoAppBase::SyncD3DTestResult(std::string& failure, std::string& warning, bool& firstTest)
{
    DemoSyncString(this, failure);
    DemoSyncString(this, warning);
    DemoSyncBool(firstTest);
}

bool LumoAppBase::LockScreenImage(Image* image)
{
    auto* surfaceImage = dynamic_cast<DDImage*>(image);
    return surfaceImage && surfaceImage->LockSurface();
}

void LumoAppBase::UnlockScreenImage(Image* image)
{
    if (auto* surfaceImage = dynamic_cast<DDImage*>(image))
        surfaceImage->UnlockSurface();
}

Font* LumoAppBase::CreateSysFont(const std::string& faceName, int pointSize, int charSet)
{
    return new SysFont(mImageServices.get(), faceName, pointSize, charSet);
}

} // namespace Lumo

#include "framework/app/LumoAppBase.h"

#include "framework/audio/SoundManager.h"
#include "framework/core/AppLog.h"
#include "framework/core/PathUtils.h"
#include "framework/core/StringUtils.h"
#include "framework/core/UserDataFolder.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "platform/process/Clock.h"
#include "platform/windows/Dialogs.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Lumo {

using namespace Platform;

namespace {

// The number of a name "image<n>...", when it has one that can still be
// followed by another.
bool ScreenshotNumber(const char* name, int32_t* number)
{
    if (std::strncmp(name, "image", 5) != 0)
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(name + 5, &end, 10);
    if (end == name + 5 || errno == ERANGE || value < INT32_MIN || value >= INT32_MAX)
        return false;
    *number = int32_t(value);
    return true;
}

} // namespace

std::string LumoAppBase::BuildSessionInfo()
{
    const uint32_t seconds = (GetTickCount() - mCreationTick) / 1000;
    return "Product: " + mProductName + "\r\n" + "Version: " + mProductVersion + "\r\n" + "Time Loaded: " +
           FormatString("%02d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)) +
           "\r\nFullscreen: " + (mIsWindowed ? "No" : "Yes") + "\r\nPrimary ThreadId: " +
           FormatString("%X", unsigned(mMainThreadId)) + "\r\n";
}

void LumoAppBase::WriteScreenshot()
{
    if (!mDDInterface || !mDDInterface->mDrawSurface)
        return;
    std::string folder = GetUserDataFolder() + "_screenshots";
    CreateDirectoryPath(folder);
    folder += "/";

    int32_t largest = 0;
    bool found = false;
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "*.png").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            int32_t number = 0;
            if (ScreenshotNumber(data.cFileName, &number) && (!found || number > largest)) {
                largest = number;
                found = true;
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    const std::string fileName = folder + "image" + std::to_string(found ? largest + 1 : 1) + ".png";

    // The 3D device ends its scene, so the draw surface holds the frame.
    if (mDDInterface->mIs3D)
        mDDInterface->mD3DInterface->Flush();
    // The screen image must not see its surface adopted by another image.
    IDirectDrawSurface* surface = mDDInterface->mDrawSurface;
    mDDInterface->mDrawSurface = nullptr;
    std::unique_ptr<ImageLib::Image> shot;
    {
        DDImage image(mDDInterface);
        image.AttachSurface(surface);
        if (const uint32_t* pixels = image.GetPixelBits()) {
            shot = std::make_unique<ImageLib::Image>(image.mWidth, image.mHeight);
            std::copy_n(pixels, size_t(image.mWidth) * size_t(image.mHeight), shot->GetBits());
        }
    }
    mDDInterface->mDrawSurface = surface;
    if (!shot)
        return;
    if (!ImageLib::WritePNGImage(fileName, shot.get()))
        AppLog::GetInstance()->Printf(AppLog::kToFile, "Screenshot not written: \"%s\"",
                                      NativePath(fileName).c_str());
    ResetTimingDebt();
}

void LumoAppBase::BuildVideoStats()
{
    const char* support = Is3DTestClean() ? "Recommended" : Is3DTestPassed() ? "Supported" : "Unsupported";
    std::string text = FormatString("3D-Mode is %s (3D is %s on this system)\r\n\r\n",
                                    Is3DAccelerated() ? "On" : "Off", support);
    text += FormatString("Num Images: %d\r\n", int(mImageServices->ImagesInSet().size()));
    text += FormatString("Num Sounds: %d\r\n", mSoundManager ? int(mSoundManager->GetLoadedSoundCount()) : 0);

    uint32_t total = 0;
    uint32_t available = 0;
    if (mDDInterface && mDDInterface->mDD7) {
        DDSCAPS2 caps;
        caps.dwCaps = DDSCAPS_VIDEOMEMORY;
        mDDInterface->mDD7->GetAvailableVidMem(&caps, &total, &available);
    }
    text += "Video Memory: " + CommaSeparate((total - available) / 1024) + "/" + CommaSeparate(total / 1024) +
            " KB\r\n";
    int64_t textureMemory = 0;
    int32_t counts[4] = {};
    int64_t memories[4] = {};
    {
        std::lock_guard<CriticalSectionHolder> hold(GetDisplayLock());
        for (const MemoryImage* image : mImageServices->ImagesInSet()) {
            if (!image->textureData)
                continue;
            textureMemory += image->textureData->mTextureMemory;
            for (int format = 0; format < 4; ++format) {
                if (image->textureData->mPixelType == 1 << format) {
                    ++counts[format];
                    memories[format] += image->textureData->mTextureMemory;
                }
            }
        }
    }
    text += "Texture Memory: " + CommaSeparate(textureMemory / 1024) + " KB\r\n";
    for (int format = 0; format < 4; ++format)
        text += FormatString("%s: %d - %s KB\r\n", D3DInterface::TexturePixelTypeName(1 << format), counts[format],
                             CommaSeparate(memories[format] / 1024).c_str());
    ShowMessageBoxA(text, "Video Stats", MB_OK);
}

} // namespace Lumo

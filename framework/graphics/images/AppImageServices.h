#pragma once

#include "framework/graphics/images/SharedImageRef.h"
#include "framework/graphics/images/SharedImageTable.h"

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace Lumo {

class AppImageHost;
class ImageHost;
class MemoryImage;

// The application as factory and registry of images: loads image files into
// display images, copies images, keeps the set of live memory images and the
// shared images by name, all under the display lock.
class AppImageServices {
public:
    explicit AppImageServices(AppImageHost& host);
    AppImageServices(const AppImageServices&) = delete;
    AppImageServices& operator=(const AppImageServices&) = delete;
    virtual ~AppImageServices();

    // The file with its separate alpha file; null when it cannot be read.
    virtual MemoryImage* CreateImageFromFile(const std::string& name, const std::string& alphaName,
                                             bool commitBits);
    // The alpha file found by the codecs' own rule.
    virtual MemoryImage* CreateImageFromFileAlt(const std::string& name, bool commitBits);
    // The record for (name, variant) in any case, loaded by its first caller
    // ("!" names give an empty display image, never a file). A caller that
    // finds the record while another thread loads it waits for the image.
    // Must not be called while holding the display lock.
    virtual SharedImageRef FindOrLoadSharedImage(const std::string& name, const std::string& variant,
                                                 bool* isNew);
    // Fills an image of the same size from a PNG file; it is no longer
    // palettized afterwards.
    void SubloadImage(MemoryImage* image, const std::string& fileName);
    // A new display image showing the whole source, with its cel layout and
    // animation.
    MemoryImage* DuplicateImage(MemoryImage* image);

    void AddImageToSet(MemoryImage* image);
    // Also drops the image's textures, under the same lock.
    void RemoveImageFromSet(MemoryImage* image);
    void DropImageTextures(MemoryImage* image);
    bool IsInImageSet(MemoryImage* image);
    // The live images in the set's order, taken under the display lock.
    std::vector<MemoryImage*> ImagesInSet();

    void ShowFatalErrorA(const std::string& text);
    ImageHost* GetImageHost();
    SharedImageTable& GetSharedImages() { return mSharedImages; }

private:
    AppImageHost& mHost;
    std::set<MemoryImage*> mImageSet;
    SharedImageTable mSharedImages;
    // Records whose first caller is still loading the image.
    std::mutex mLoadingMutex;
    std::condition_variable mLoadingDone;
    std::set<SharedImage*> mLoading;
};

} // namespace Lumo

#pragma once

#include "framework/core/CriticalSectionHolder.h"

#include <string>

namespace Lumo {

class ImageHost;
class MemoryImage;

// What the application's image and font services need of the application
// object and its display. The application object implements it.
class AppImageHost {
public:
    virtual ~AppImageHost() = default;

    // A new empty display image, owned by the caller.
    virtual MemoryImage* CreateDisplayImage() = 0;
    // The display's lock: it guards the image set and the shared images.
    virtual CriticalSectionHolder& GetDisplayLock() = 0;
    // Asks the display, when there is one, to release the image's textures.
    virtual void RemoveImageTextures(MemoryImage* image) = 0;
    // The host of memory images made on the application's behalf.
    virtual ImageHost* GetImageHost() = 0;
    // The application's fatal-error box; it returns and the run goes on.
    virtual void ShowFatalErrorA(const std::string& text) = 0;
};

} // namespace Lumo

#include "framework/graphics/images/ImageHost.h"

#include "framework/graphics/images/DefaultImageHost.h"

#include <atomic>

namespace Lumo {

namespace {
std::atomic<ImageHost*> gInstalledHost{nullptr};
}

ImageHost& ImageHost::Current()
{
    if (ImageHost* host = gInstalledHost.load())
        return *host;
    static DefaultImageHost defaultHost;
    return defaultHost;
}

ImageHost* ImageHost::Install(ImageHost* host)
{
    return gInstalledHost.exchange(host);
}

} // namespace Lumo

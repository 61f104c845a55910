#include "framework/graphics/fonts/ActiveFontLayer.h"

#include "framework/graphics/images/AppImageServices.h"
#include "framework/graphics/fonts/FontData.h"
#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>

namespace Lumo {

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : mBaseFontLayer(other.mBaseFontLayer), mScaledImage(other.mScaledImage), mOwnsImage(other.mOwnsImage)
{
    std::copy(std::begin(other.mScaledCharImageRects), std::end(other.mScaledCharImageRects),
              mScaledCharImageRects);
    if (mOwnsImage) {
        AppImageServices* app = mBaseFontLayer->mFontData->mApp;
        auto* source = dynamic_cast<MemoryImage*>(other.mScaledImage);
        mScaledImage = app != nullptr && source != nullptr ? app->DuplicateImage(source) : nullptr;
        mOwnsImage = mScaledImage != nullptr;
    }
}

ActiveFontLayer::~ActiveFontLayer()
{
    if (mOwnsImage)
        delete mScaledImage;
}

} // namespace Lumo

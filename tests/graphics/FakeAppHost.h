#pragma once

#include "framework/graphics/images/AppImageHost.h"
#include "framework/graphics/images/DefaultImageHost.h"
#include "framework/graphics/images/MemoryImage.h"

#include <atomic>
#include <string>
#include <vector>

namespace FontTests {

// The application as the image and font services see it: memory images for
// display images, and the fatal-error box as a list of texts.
class FakeAppHost : public Lumo::AppImageHost {
public:
    Lumo::MemoryImage* CreateDisplayImage() override
    {
        ++displayImagesMade;
        return new Lumo::MemoryImage(&imageHost);
    }
    Lumo::CriticalSectionHolder& GetDisplayLock() override { return lock; }
    void RemoveImageTextures(Lumo::MemoryImage* image) override { texturesRemoved.push_back(image); }
    Lumo::ImageHost* GetImageHost() override { return &imageHost; }
    void ShowFatalErrorA(const std::string& text) override { fatalErrors.push_back(text); }

    Lumo::DefaultImageHost imageHost;
    Lumo::CriticalSectionHolder lock;
    std::atomic<int> displayImagesMade{0};
    std::vector<Lumo::MemoryImage*> texturesRemoved;
    std::vector<std::string> fatalErrors;
};

} // namespace FontTests

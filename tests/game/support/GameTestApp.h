#pragma once

#include "framework/app/LumoAppBase.h"
#include "tests/game/support/RecordingMusic.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace GameTest {

// The application as game code sees it, without a window or a display: a
// silent sound manager, a recording music player, pictures served from
// memory, and the sounds played and fatal errors kept as lists. It is never
// initialised; settings go to whatever store the test installed.
class GameTestApp : public Lumo::LumoAppBase {
public:
    GameTestApp();

    // A picture that CreateImageFromFile / CreateImageFromFileAlt return a
    // fresh copy of. Names compare like archive names (any case, "\" or "/").
    void AddImage(const std::string& name, int width, int height, uint32_t argb = 0xFFFFFFFF);
    void AddImage(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels);

    // Pictures added with AddImage; any other name goes to the real loader.
    Lumo::MemoryImage* CreateImageFromFile(const std::string& name, const std::string& alphaName,
                                           bool commitBits) override;
    Lumo::MemoryImage* CreateImageFromFileAlt(const std::string& name, bool commitBits) override;
    void PlaySoundById(int id) override { mSoundsPlayed.push_back(id); }
    void PlaySoundPanned(int id, int pan) override { mSoundsPlayed.push_back(id), mSoundPans.push_back(pan); }
    void ShowFatalErrorA(const std::string& text) override { mFatalErrors.push_back(text); }
    // There is no display here: a mode switch only takes the mode, unless
    // the desktop is to refuse full screen.
    void ChangeWindowedMode(bool windowed) override { mWindowed = windowed || mFullScreenRefused; }

    RecordingMusic& Music() { return *mMusic; }

    // Every load asked for: the name, or "name;alpha" when an alpha name was given.
    std::vector<std::string> mImageLoads;
    std::vector<int> mSoundsPlayed;
    std::vector<int> mSoundPans;
    std::vector<std::string> mFatalErrors;
    bool mFullScreenRefused = false;

private:
    struct Picture {
        int mWidth;
        int mHeight;
        std::vector<uint32_t> mPixels;
    };
    Lumo::MemoryImage* MakeImage(const std::string& name);

    std::map<std::string, Picture> mPictures;
    RecordingMusic* mMusic;
};

} // namespace GameTest

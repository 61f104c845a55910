#include "tests/game/support/GameTestApp.h"

#include "framework/audio/SoundManager.h"
#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace GameTest {

namespace {

std::string PictureKey(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        c = c == '/' ? '\\' : char(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

} // namespace

GameTestApp::GameTestApp()
{
    mProductName = "ZentrovaTest";
    mCompanyName = "TestCompany";
    mRegKey = "TestCompany\\ZentrovaTest";
    mWidth = 800;
    mHeight = 600;
    mCommandLineRead = true;
    auto music = std::make_unique<RecordingMusic>();
    mMusic = music.get();
    mMusicInterface = std::move(music);
    mSoundManager = std::make_unique<Lumo::SoundManager>(nullptr, nullptr);
}

void GameTestApp::AddImage(const std::string& name, int width, int height, uint32_t argb)
{
    AddImage(name, width, height, std::vector<uint32_t>(size_t(width) * size_t(height), argb));
}

void GameTestApp::AddImage(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels)
{
    mPictures[PictureKey(name)] = Picture{width, height, pixels};
}

Lumo::MemoryImage* GameTestApp::MakeImage(const std::string& name)
{
    auto found = mPictures.find(PictureKey(name));
    if (found == mPictures.end())
        return nullptr;
    auto* image = new Lumo::MemoryImage(this);
    image->mName = name;
    image->SetSize(found->second.mWidth, found->second.mHeight);
    std::copy(found->second.mPixels.begin(), found->second.mPixels.end(), image->GetPixelBits());
    image->MarkBitsChanged();
    return image;
}

Lumo::MemoryImage* GameTestApp::CreateImageFromFile(const std::string& name, const std::string& alphaName,
                                                    bool commitBits)
{
    mImageLoads.push_back(alphaName.empty() ? name : name + ";" + alphaName);
    if (Lumo::MemoryImage* image = MakeImage(name))
        return image;
    return Lumo::LumoAppBase::CreateImageFromFile(name, alphaName, commitBits);
}

Lumo::MemoryImage* GameTestApp::CreateImageFromFileAlt(const std::string& name, bool commitBits)
{
    mImageLoads.push_back(name);
    if (Lumo::MemoryImage* image = MakeImage(name))
        return image;
    return Lumo::LumoAppBase::CreateImageFromFileAlt(name, commitBits);
}

} // namespace GameTest

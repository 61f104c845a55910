#include "game/screens/windows/CGameGUIHost.h"

#include "framework/graphics/images/MemoryImage.h"
#include "game/data/CGameConfig.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/players/CHiscoreTable.h"

CGameGUIHost::CGameGUIHost(CImageTable& images, CImageAtlas& atlas, CTrackBase& tracks, CHiscoreTable& hiscores,
                           std::function<Lumo::Image*()> loadingWheel)
    : mImages(images), mAtlas(atlas), mTracks(tracks), mHiscores(hiscores), mLoadingWheel(std::move(loadingWheel))
{
}

int32_t CGameGUIHost::FontIndexByName(const std::string& name)
{
    int32_t index = -1;
    ::FontIndexByName(name, &index);
    return index;
}

Lumo::Font* CGameGUIHost::FontByIndex(int32_t index)
{
    return index >= 0 && index < CGameConfig::kFontCount ? CGameConfig::FontAt(index) : nullptr;
}

bool CGameGUIHost::FindImage(const std::string& name, int32_t* slot)
{
    return mImages.FindByName(name, slot);
}

Lumo::MemoryImage* CGameGUIHost::SlotImage(int32_t slot, Lumo::Rect* rect)
{
    const CImageSlot* found = mImages.Slot(slot);
    if (found == nullptr || found->mImage == nullptr)
        return nullptr;
    *rect = mImages.SourceRect(slot);
    return found->mImage;
}

void CGameGUIHost::FetchSlotImage(int32_t slot)
{
    mImages.FetchSlotImage(slot);
}

void CGameGUIHost::ReleaseSlotImage(int32_t slot)
{
    const CImageSlot* found = mImages.Slot(slot);
    if (found != nullptr && found->mImage != nullptr)
        found->mImage->DeleteSoftwareBuffers();
}

bool CGameGUIHost::NewRuntimeImage(int32_t width, int32_t height, int32_t* slot)
{
    return mAtlas.Alloc(width, height, slot);
}

void CGameGUIHost::FreeRuntimeImage(int32_t slot)
{
    mAtlas.Free(slot);
}

Lumo::Image* CGameGUIHost::LoadingWheel()
{
    return mLoadingWheel ? mLoadingWheel() : nullptr;
}

void CGameGUIHost::DrawHiscores(Lumo::Graphics& graphics, int32_t alpha, const std::vector<std::string>& rankNames)
{
    mHiscores.Draw(graphics, alpha, mImages, rankNames);
}

CGUITuning CGameGUIHost::Tuning()
{
    CGUITuning tuning;
    tuning.mCreditsSpeed = CGameConfig::titreSpeed;
    tuning.mCreditsPos = CGameConfig::titrePos;
    tuning.mCreditsWidth = CGameConfig::titreWidth;
    tuning.mCreditsGap = CGameConfig::titreGap;
    tuning.mWheelSpeed = CGameConfig::live.loadscreenWheelSpeed;
    tuning.mWheelFadeSpeed = CGameConfig::live.loadscreenWheelFadespeed;
    return tuning;
}

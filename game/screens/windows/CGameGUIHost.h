#pragma once

#include "game/screens/windows/CGUIHost.h"

#include <functional>

class CHiscoreTable;
class CImageAtlas;
class CImageTable;

// The window system's host in the game: fonts by configuration slot,
// pictures of the image table, tiles in the image atlas, the tuning of the
// configuration, the hiscore table and the application's loading wheel.
class CGameGUIHost : public CGUIHost {
public:
    CGameGUIHost(CImageTable& images, CImageAtlas& atlas, CTrackBase& tracks, CHiscoreTable& hiscores,
                 std::function<Lumo::Image*()> loadingWheel);

    int32_t FontIndexByName(const std::string& name) override;
    Lumo::Font* FontByIndex(int32_t index) override;
    bool FindImage(const std::string& name, int32_t* slot) override;
    Lumo::MemoryImage* SlotImage(int32_t slot, Lumo::Rect* rect) override;
    void FetchSlotImage(int32_t slot) override;
    void ReleaseSlotImage(int32_t slot) override;
    bool NewRuntimeImage(int32_t width, int32_t height, int32_t* slot) override;
    void FreeRuntimeImage(int32_t slot) override;
    CTrackBase& Tracks() override { return mTracks; }
    Lumo::Image* LoadingWheel() override;
    void DrawHiscores(Lumo::Graphics& graphics, int32_t alpha, const std::vector<std::string>& rankNames) override;
    CGUITuning Tuning() override;

private:
    CImageTable& mImages;
    CImageAtlas& mAtlas;
    CTrackBase& mTracks;
    CHiscoreTable& mHiscores;
    std::function<Lumo::Image*()> mLoadingWheel;
};

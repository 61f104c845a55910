#pragma once

#include "framework/app/LumoAppBase.h"
#include "game/board/CFieldBase.h"
#include "game/board/CGameBorders.h"
#include "game/screens/CScreenHost.h"

#include <atomic>
#include <memory>

class CAnimBase;
class CBackground;
class CBackgroundWidget;
class CBall;
class CBonusBase;
class CCellRuns;
class CCurveBase;
class CGameField;
class CHiscoreTable;
class CImageAtlas;
class CImageTable;
class CObjBase;
class CPieceBase;
class CSceneObjBase;
class CTitleScreen;
class CTrackBase;
class CUserProfiles;
class TiXmlElement;

// The game's application: it owns every game component, builds them on the
// loading thread behind the title screen and saves the player's files at exit.
class CGameApp : public Lumo::LumoAppBase, public CScreenHost {
public:
    enum LoadingState { kNeverLoaded = 0, kReloading = 1, kLoadHandled = 2 };

    CGameApp();
    ~CGameApp() override;

    void Initialize() override;
    void RunLoadingThread() override;
    void OnLoadingDone() override;
    void OnAppActivated() override;
    void OnAppDeactivated() override;

    void LoadCursor();

    Lumo::Image* LoadingWheel() override;
    void ShowGameScreen() override;
    // Puts the menu backdrop in front and fades it in.
    void ShowBackgroundWidget();
    void TitleScreenGone(CTitleScreen* title) override;

    bool LoadedOk() const { return mLoadedOk; }
    int LoadingStateNow() const { return mLoadingState; }
    CTitleScreen* TitleScreen() const { return mTitleScreen; }
    CImageTable* Images() const { return mImages.get(); }
    CTrackBase* Tracks() const { return mTracks.get(); }
    CAnimBase* Anims() const { return mAnims.get(); }
    CGameField* Field() const { return mField.get(); }
    CBall* Ball() const { return mBall.get(); }
    CBonusBase* BonusBase() const { return mBonusBase.get(); }
    CUserProfiles* Profiles() const { return mProfiles.get(); }
    CHiscoreTable* Hiscores() const { return mHiscores.get(); }
    CBackgroundWidget* BackgroundWidget() const { return mBackgroundWidget.get(); }
    bool GamePaused() const { return mGamePaused; }

private:
    void RunFullLoad();
    // The "root" element of the data file, parsed into document; null when absent.
    static const TiXmlElement* ReadRoot(const char* file, class TiXmlDocument& document);

    std::unique_ptr<CImageTable> mImages;
    std::unique_ptr<CObjBase> mObjects;
    std::unique_ptr<CGameField> mField;
    std::unique_ptr<CBall> mBall;
    std::unique_ptr<CCurveBase> mCurves;
    std::unique_ptr<CAnimBase> mAnims;
    std::unique_ptr<CTrackBase> mTracks;
    std::unique_ptr<CSceneObjBase> mSceneObjects;
    std::unique_ptr<CBonusBase> mBonusBase;
    std::unique_ptr<CBackground> mBackground;
    std::unique_ptr<CPieceBase> mPieces;
    std::unique_ptr<CImageAtlas> mAtlas;
    CFieldBase mFieldShapes;
    CGameBorders mBorders;
    std::unique_ptr<CCellRuns> mCellRuns;
    std::unique_ptr<Lumo::MemoryImage> mLoadingWheel;
    std::unique_ptr<Lumo::MemoryImage> mCursorImage;
    CTitleScreen* mTitleScreen = nullptr;
    std::unique_ptr<CBackgroundWidget> mBackgroundWidget;
    std::unique_ptr<CUserProfiles> mProfiles;
    std::unique_ptr<CHiscoreTable> mHiscores;

    bool mGamePaused = true;
    bool mGameScreenShown = false;
    // Written by the loading thread, read by the main thread's hooks.
    std::atomic<bool> mLoadFailed{false};
    std::atomic<bool> mLoadedOk{false};
    std::atomic<bool> mLoadedOnce{false};
    std::atomic<int> mLoadingState{kNeverLoaded};
};

// The one application object while it exists.
CGameApp* GameApp();

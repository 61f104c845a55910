#pragma once

#include "framework/app/LumoAppBase.h"
#include "game/board/field/CFieldBase.h"
#include "game/board/field/CGameBorders.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/menus/CScreenHost.h"

#include <atomic>
#include <memory>

class CAnimBase;
class CBackground;
class CBackgroundWidget;
class CBoardWidget;
class CBall;
class CBonusBanner;
class CCrazyLevel;
class CCrazyTurns;
class CGameBonuses;
class CGameCommands;
class CGameLevelHost;
class CGamePanel;
class CPhaseSequencer;
class CBonusBase;
class CCellRuns;
class CCurveBase;
class CGUIController;
class CGameField;
class CGameGUIHost;
class CGameProcessor;
class CHiscoreTable;
class CImageAtlas;
class CImageTable;
class CLevelController;
class CLevelGraphs;
class CLevelMap;
struct CLevelMapServices;
class CObjBase;
class CPieceBase;
class CSceneObjBase;
class CSlotPanel;
class CTitleScreen;
class CTrackBase;
class CUserProfiles;
class TiXmlElement;
struct LevelRecord;

// The game's application: it owns every game component, builds them on the
// loading thread behind the title screen and saves the player's files at exit.
class CGameApp : public Lumo::LumoAppBase, public CScreenHost, public CGameFlowHost {
public:
    enum LoadingState { kNeverLoaded = 0, kReloading = 1, kLoadHandled = 2 };

    CGameApp();
    ~CGameApp() override;

    void Initialize() override;
    void RunLoadingThread() override;
    void OnLoadingDone() override;
    void OnAppActivated() override;
    void OnAppDeactivated() override;
    // The main thread keeps off the game while the loading thread moves it to the next level.
    void UpdateFrames() override;
    void UpdateFraction(float fraction) override;
    bool DrawFrame() override;

    Lumo::Image* LoadingWheel() override;
    void ShowGameScreen() override;
    void TitleScreenGone(CTitleScreen* title) override;

    bool GamePaused() const override { return mGamePaused; }
    void SetGamePaused(bool paused) override { mGamePaused = paused; }
    bool GameScreenShown() const override { return mGameScreenShown; }
    void SetGameScreenShown(bool shown) override { mGameScreenShown = shown; }
    void ShowBackgroundWidget() override;
    void ShowLevelMap(int32_t map, int32_t from, int32_t to) override;
    void StartSelectedLevel() override;
    void ShowBall() override;
    void Reload() override;
    void LoadCursor() override;
    // The profiles and the hiscores; the player hears once per run that they could not be saved.
    void SavePlayerFiles();

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
    CGUIController* GuiController() const { return mGui.get(); }
    CGameProcessor* Processor() const { return mProcessor.get(); }
    CLevelController* LevelController() const { return mLevelController.get(); }
    CLevelGraphs* LevelGraphs() const { return mLevelGraphs.get(); }
    CLevelMap* LevelMap() const { return mLevelMap.get(); }
    CSlotPanel* SlotPanel() const { return mSlotPanel.get(); }
    CBonusBanner* BonusBanner() const { return mBanner.get(); }
    CGameCommands* Commands() const { return mCommands.get(); }
    CGamePanel* Panel() const { return mPanel.get(); }
    CGameBonuses* Bonuses() const { return mBonuses.get(); }
    CBoardWidget* Board() const { return mBoard.get(); }

private:
    void RunFullLoad();
    bool Reloading() const;
    static void RemoveWidget(Lumo::Widget* widget);
    // The level listed at the graph's position, null past the list.
    const LevelRecord* ListedLevel(int32_t graph, int32_t position) const;
    // The colours of the level's first checkpoint; 0 without one.
    int32_t ColourCount(int32_t graph, int32_t position) const;
    // The level map's icon: 1 timed, 2 puzzle, 3 crazy, else 0.
    int32_t IconKind(int32_t graph, int32_t position) const;
    CLevelMapServices LevelMapServices();
    // The level controller with its host, graphs and the HUD panel.
    void CreateLevelParts();
    void InitSequences();
    void CreateBoard();
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
    std::unique_ptr<CGameLevelHost> mLevelHost;
    std::unique_ptr<CLevelController> mLevelController;
    std::unique_ptr<CLevelGraphs> mLevelGraphs;
    std::unique_ptr<CGamePanel> mPanel;
    std::unique_ptr<CGameBonuses> mBonuses;
    std::unique_ptr<CPhaseSequencer> mPhases;
    std::unique_ptr<CCrazyTurns> mCrazyTurns;
    std::unique_ptr<CCrazyLevel> mCrazy;
    std::unique_ptr<CPieceBase> mPieces;
    std::unique_ptr<CBonusBanner> mBanner;
    std::unique_ptr<CImageAtlas> mAtlas;
    CFieldBase mFieldShapes;
    CGameBorders mBorders;
    std::unique_ptr<CCellRuns> mCellRuns;
    std::unique_ptr<CGameGUIHost> mGuiHost;
    std::unique_ptr<CGameCommands> mCommands;
    std::unique_ptr<CGUIController> mGui;
    std::unique_ptr<CGameProcessor> mProcessor;
    std::unique_ptr<CBoardWidget> mBoard;
    std::unique_ptr<Lumo::MemoryImage> mLoadingWheel;
    std::unique_ptr<Lumo::MemoryImage> mCursorImage;
    CTitleScreen* mTitleScreen = nullptr;
    std::unique_ptr<CBackgroundWidget> mBackgroundWidget;
    std::unique_ptr<CUserProfiles> mProfiles;
    std::unique_ptr<CHiscoreTable> mHiscores;
    std::unique_ptr<CSlotPanel> mSlotPanel;
    std::unique_ptr<CLevelMap> mLevelMap;

    bool mGamePaused = true;
    bool mGameScreenShown = false;
    // Written by the loading thread, read by the main thread's hooks.
    std::atomic<bool> mLoadFailed{false};
    std::atomic<bool> mLoadedOk{false};
    std::atomic<bool> mLoadedOnce{false};
    std::atomic<int> mLoadingState{kNeverLoaded};
    bool mReloadQueued = false;
    // The graph position the level map leads to; its start button plays it.
    int32_t mMapPosition = 0;
};

// The one application object while it exists.
CGameApp* GameApp();

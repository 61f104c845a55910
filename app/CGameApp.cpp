#include "app/CGameApp.h"

#include "framework/StaticInit.h"
#include "framework/resources/PakInterface.h"
#include "framework/audio/MusicInterface.h"
#include "framework/core/AppLog.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/windows/Dialogs.h"
#include "game/board/play/CBall.h"
#include "app/CGameLevelHost.h"
#include "game/board/bonuses/CBonusBanner.h"
#include "game/board/levels/CCrazyLevel.h"
#include "game/board/levels/CCrazyTurns.h"
#include "game/board/bonuses/CGameBonuses.h"
#include "game/board/levels/CPhaseSequencer.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/effects/CBackground.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/CGameConfig.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CObjBase.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/data/effects/CTextLabels.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/players/CUserProfiles.h"
#include "game/data/JukeBox.h"
#include "game/screens/menus/CBackgroundWidget.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGameGUIHost.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/windows/CSlotPanel.h"
#include "game/screens/menus/CTitleScreen.h"

#include <algorithm>

namespace {

CGameApp* gGameApp = nullptr;

// The result value of a map game in the profile's record (offset 52).
constexpr int kResultValue = 9;

} // namespace

CGameApp* GameApp()
{
    return gGameApp;
}

CGameApp::CGameApp()
{
    gGameApp = this;
    mProductName = "Zentrova";
    mProductVersion = "1.0";
    mCompanyName = "DravikGames";
    // Known now: a fault from here on has a folder for its report.
    UseDataFolder();
    mTitle = mProductName + " - " + mProductVersion;
    mRegKey = "DravikGames\\Zentrova";
    mWidth = 800;
    mHeight = 600;
    // Full screen unless the stored settings say otherwise.
    mWindowed = false;
    mProfiles = std::make_unique<CUserProfiles>();
    mProfiles->Init(*this);
}

CGameApp::~CGameApp()
{
    // The loading thread may still be building what is torn down below.
    WaitForLoadingThread();
    if (mLevelController)
        mLevelController->SaveProgress();
    mSlotPanel.reset();
    RemoveWidget(mLevelMap.get());
    mLevelMap.reset();
    if (mTitleScreen) {
        mWidgetManager->RemoveChild(mTitleScreen);
        delete mTitleScreen;
        mTitleScreen = nullptr;
    }
    RemoveWidget(mBackgroundWidget.get());
    mBackgroundWidget.reset();
    CTextLabels::Get().Attach(nullptr, nullptr);
    CParticleSystem::Get().Attach(nullptr, nullptr);
    // Processes still running reach the level, the bonuses, the field and the
    // ball when they are stopped: the processor goes before them.
    if (mPhases)
        mPhases->ReleaseTracks();
    if (mCrazy)
        mCrazy->Shutdown();
    if (mBonuses)
        mBonuses->Shutdown();
    if (mProcessor)
        mProcessor->Shutdown();
    // The board still has the bonuses, the level and the panel until it goes.
    RemoveWidget(mBoard.get());
    mBoard.reset();
    mBonuses.reset();
    mCrazy.reset();
    mCrazyTurns.reset();
    mPhases.reset();
    mBanner.reset();
    mPieces.reset();
    mLevelController.reset();
    mLevelHost.reset();
    mLevelGraphs.reset();
    mPanel.reset();
    // The ball's animation pair belongs to the scene objects.
    mBall.reset();
    mField.reset();
    mBonusBase.reset();
    mBackground.reset();
    mSceneObjects.reset();
    mProcessor.reset();
    if (mGui)
        mGui->Release();
    mGui.reset();
    mCommands.reset();
    mGuiHost.reset();
    mAtlas.reset();
    mImages.reset();
    mCurves.reset();
    mObjects.reset();
    mAnims.reset();
    mTracks.reset();
    if (mCellRuns) {
        mCellRuns->Clear();
        mCellRuns.reset();
    }
    SavePlayerFiles();
    mProfiles.reset();
    mHiscores.reset();
    FreeHudControls();
    JukeBox::Get().Clear();
    JukeBox::Get().SetPlayers(nullptr, nullptr);
    gGameApp = nullptr;
}

void CGameApp::Initialize()
{
    LumoAppBase::Initialize();
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "_SECURE_SCL = %d, _HAS_ITERATOR_DEBUGGING=%d", 0,
                                        0);
    Lumo::gPakInterface->MountArchive("res.pak");
    mLoadingWheel.reset(CreateImageFromFileAlt("res\\loading_wheel.png", true));
    if (mCustomCursorsEnabled)
        LoadCursor();
    if (!mTitleScreen) {
        mTitleScreen = new CTitleScreen(*this, *this);
        mTitleScreen->Resize(0, 0, mWidth, mHeight);
        mTitleScreen->LoadSplash();
        mWidgetManager->AddChild(mTitleScreen);
    }
}

void CGameApp::SavePlayerFiles()
{
    bool saved = mProfiles->Save(*this);
    if (mHiscores)
        saved = mHiscores->Save() && saved;
    if (!saved)
        TellPlayerOnce("Your progress could not be saved.");
}

void CGameApp::RemoveWidget(Lumo::Widget* widget)
{
    if (widget && widget->mParent)
        widget->mParent->RemoveChild(widget);
}

void CGameApp::OnLoadingDone()
{
    if (mLoadingState == kReloading) {
        if (mLevelController)
            mLevelController->RestartAfterLoad();
    } else if (mLoadFailed) {
        ShowFatalErrorA("Error while loading.");
        // The message alone would leave the game on its title for good.
        RequestShutdown();
    } else if (mTitleScreen) {
        mTitleScreen->StartTitle();
    }
    mLoadingState = kLoadHandled;
    if (mReloadQueued) {
        mReloadQueued = false;
        Reload();
    }
}

void CGameApp::Reload()
{
    // The loading-done hook that ends a running load runs on this thread:
    // waiting for it here would never end, so the reload waits its turn.
    if (mLoadingState != kLoadHandled) {
        mReloadQueued = true;
        return;
    }
    mLoadingState = kReloading;
    mLoadingStarted = false;
    mLoadingFinished = false;
    mLoadingDoneHandled = false;
    StartLoadingThread();
}

bool CGameApp::Reloading() const
{
    return mLoadingState == kReloading;
}

void CGameApp::UpdateFrames()
{
    if (!Reloading())
        LumoAppBase::UpdateFrames();
}

void CGameApp::UpdateFraction(float fraction)
{
    if (!Reloading())
        LumoAppBase::UpdateFraction(fraction);
}

bool CGameApp::DrawFrame()
{
    if (!Reloading())
        return LumoAppBase::DrawFrame();
    // The last frame stays on screen; the loop must see this one as done, or
    // it would ask again before the update that ends the reload.
    mHasUpdatedSinceDraw = false;
    return true;
}

void CGameApp::OnAppActivated()
{
    if (mLoadedOk && mLoadingState == kLoadHandled && mMusicInterface)
        mMusicInterface->ResumeAllMusic();
}

void CGameApp::OnAppDeactivated()
{
    if (!mLoadedOk || mLoadingState != kLoadHandled)
        return;
    if (mMusicInterface)
        mMusicInterface->PauseAllMusic();
    if (mBoard && !mGamePaused)
        mCommands->OpenPauseWindow();
}

void CGameApp::LoadCursor()
{
    if (mCursorImage)
        return;
    mCursorImage.reset(CreateImageFromFileAlt("res\\cursor_pointer.png", true));
    SetCursorImage(mCursorImage.get());
}

Lumo::Image* CGameApp::LoadingWheel()
{
    return mLoadingWheel.get();
}

void CGameApp::ShowGameScreen()
{
    if (!mBackgroundWidget)
        return;
    mBackgroundWidget->Resize(0, 0, mWidth, mHeight);
    mBackgroundWidget->SetupFromBackground(*mImages);
    ShowBackgroundWidget();
    mWidgetManager->AddChild(mBoard.get());
    mWidgetManager->SendToBack(mBoard.get());
}

void CGameApp::ShowBackgroundWidget()
{
    mBackgroundWidget->FadeIn();
    if (!mWidgetManager->HasChild(mBackgroundWidget.get()))
        mWidgetManager->AddChild(mBackgroundWidget.get());
    mWidgetManager->BringToFront(mBackgroundWidget.get());
    mWidgetManager->SetFocus(mBackgroundWidget.get());
    mGamePaused = true;
    mGameScreenShown = true;
}

void CGameApp::TitleScreenGone(CTitleScreen* title)
{
    mWidgetManager->RemoveChild(title);
    DeferDelete(title);
    mTitleScreen = nullptr;
}

void CGameApp::ShowLevelMap(int32_t map, int32_t from, int32_t to)
{
    if (from > 9 || to > 9)
        from = to = 9;
    // A first level has no position before it: nothing below 0 is drawn.
    from = std::max(from, 0);
    to = std::max(to, 0);
    mBoard->FadeOutUnlessCovered();
    mBoard->SetBackgroundOn(true);
    mBoard->SetFieldShown(false);
    mLevelMap->SetMap(map);
    const int32_t graph = mLevelController->CurrentGraph();
    mMapPosition = map * 10 + to;
    mLevelMap->SetIndicatorsToLight(ColourCount(graph, mMapPosition));
    for (int32_t i = 0; i < 10; ++i)
        mLevelMap->SetPosition(i, IconKind(graph, map * 10 + i), i < to);
    // The cups earned on the way; all of them only once the record's result
    // says the whole graph was played (the best stage reached says nothing of that).
    const int32_t current = mProfiles->CurrentIndex();
    const bool allCups = current >= 0 && current < mProfiles->Count() &&
                         mProfiles->Record(current).progressA[kResultValue] != 0;
    mLevelMap->SelectCup(from, to, false, allCups);
    mLevelMap->Resize(0, 0, mWidth, mHeight);
    if (!mWidgetManager->HasChild(mLevelMap.get()))
        mWidgetManager->AddChild(mLevelMap.get());
    mWidgetManager->SendToBack(mBoard.get());
    mWidgetManager->BringToFront(mLevelMap.get());
    mWidgetManager->SetFocus(mLevelMap.get());
    mLevelMap->Reset();
    mGui->mOwner = mLevelMap.get();
    // The map is no play: losing the focus over it opens no pause window.
    mGamePaused = true;
}

const LevelRecord* CGameApp::ListedLevel(int32_t graph, int32_t position) const
{
    // Only listed positions are looked up: a lookup past the list would
    // reshuffle the graph or, without difficulty ranges, have no cycle.
    if (graph < 0 || graph >= mLevelGraphs->GraphCount() || position < 0 ||
        position >= mLevelGraphs->GraphAt(graph).mEntryCount)
        return nullptr;
    const int32_t level = mLevelGraphs->GetEntryLevel(graph, position);
    return level >= 0 ? &mLevelController->Table().Level(level) : nullptr;
}

int32_t CGameApp::ColourCount(int32_t graph, int32_t position) const
{
    const LevelRecord* level = ListedLevel(graph, position);
    if (!level || level->mCheckpointCount == 0)
        return 0;
    return mLevelController->Table().CheckpointOf(*level, 0).mBlockTypes;
}

int32_t CGameApp::IconKind(int32_t graph, int32_t position) const
{
    const LevelRecord* level = ListedLevel(graph, position);
    if (!level)
        return 0;
    if (level->mPointsDecreaseSpeed > 0.0001f)
        return 1;
    return level->mLevelType == 1 ? 2 : level->mLevelType == 2 ? 3 : 0;
}

void CGameApp::StartSelectedLevel()
{
    if (mLevelMap->VisibilityState() > CLevelMap::kShowing)
        return;
    const int32_t graph = mLevelController->CurrentGraph();
    mLevelMap->Hide();
    mBoard->FadeInField();
    mLevelController->SetProgress(0);
    mLevelController->StartLevel(graph, mMapPosition);
    mLevelController->UpdateProgressBar();
    mGamePaused = false;
    ShowBall();
    mGui->mOwner = mBoard.get();
    // Esc on the level's windows reaches the board, not the map that hides.
    mWidgetManager->SetFocus(mBoard.get());
}

void CGameApp::ShowBall()
{
    mBall->SetHidden(false);
}

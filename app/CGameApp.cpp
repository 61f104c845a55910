#include "app/CGameApp.h"

#include "framework/StaticInit.h"
#include "framework/resources/PakInterface.h"
#include "framework/audio/MusicInterface.h"
#include "framework/core/AppLog.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/CBall.h"
#include "game/board/CBonusBase.h"
#include "game/board/CCellRuns.h"
#include "game/board/CGameField.h"
#include "game/data/CAnimBase.h"
#include "game/data/CBackground.h"
#include "game/data/CCurveBase.h"
#include "game/data/CGameConfig.h"
#include "game/data/CHiscoreTable.h"
#include "game/data/CImageAtlas.h"
#include "game/data/CImageTable.h"
#include "game/data/CObjBase.h"
#include "game/data/CParticleSystem.h"
#include "game/data/CPieceBase.h"
#include "game/data/CSceneObjBase.h"
#include "game/data/CTextLabels.h"
#include "game/data/CTrackBase.h"
#include "game/data/CUserProfiles.h"
#include "game/data/JukeBox.h"
#include "game/screens/CBackgroundWidget.h"
#include "game/screens/CTitleScreen.h"

namespace {

CGameApp* gGameApp = nullptr;

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
    if (mTitleScreen) {
        mWidgetManager->RemoveChild(mTitleScreen);
        delete mTitleScreen;
        mTitleScreen = nullptr;
    }
    if (mBackgroundWidget) {
        if (mBackgroundWidget->mParent)
            mBackgroundWidget->mParent->RemoveChild(mBackgroundWidget.get());
        mBackgroundWidget.reset();
    }
    CTextLabels::Get().Attach(nullptr, nullptr);
    CParticleSystem::Get().Attach(nullptr, nullptr);
    mPieces.reset();
    mBonusBase.reset();
    mBackground.reset();
    mSceneObjects.reset();
    mBall.reset();
    mField.reset();
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
    mProfiles->Save(*this);
    mProfiles.reset();
    if (mHiscores) {
        mHiscores->Save();
        mHiscores.reset();
    }
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

void CGameApp::OnLoadingDone()
{
    if (mLoadFailed) {
        ShowFatalErrorA("Error while loading.");
        // The message alone would leave the game on its title for good.
        RequestShutdown();
    } else if (mTitleScreen) {
        mTitleScreen->StartTitle();
    }
    mLoadingState = kLoadHandled;
}

void CGameApp::OnAppActivated()
{
    if (mLoadedOk && mLoadingState == kLoadHandled && mMusicInterface)
        mMusicInterface->ResumeAllMusic();
}

void CGameApp::OnAppDeactivated()
{
    if (mLoadedOk && mLoadingState == kLoadHandled && mMusicInterface)
        mMusicInterface->PauseAllMusic();
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
